/* Resource identifiers of the Windows program, shared by mensurel.rc.in and
   the C++ code that loads the resources. Plain C preprocessor only: windres
   reads this file too. */
#ifndef MENSUREL_RESOURCE_IDS_H
#define MENSUREL_RESOURCE_IDS_H

#define IDI_MENSUREL 1

/* The button faces at 1x and 2x: 8-bit bitmaps whose palettes hold the
   premultiplied 32-bit pixels to draw. */
#define IDB_COMMAND1 101
#define IDB_COMMAND1_2X 102
#define IDB_COMMAND2 103
#define IDB_COMMAND2_2X 104

#endif
