/* Resource identifiers of the Windows program, shared by mensurel.rc.in and
   the C++ code that loads the resources. Plain C preprocessor only: windres
   reads this file too. */
#ifndef MENSUREL_RESOURCE_IDS_H
#define MENSUREL_RESOURCE_IDS_H

#define IDI_MENSUREL 1

/* The button faces, GIF files stored as RCDATA, at 1x and 2x. */
#define IDR_COMMAND1_GIF 101
#define IDR_COMMAND1_2X_GIF 102
#define IDR_COMMAND2_GIF 103
#define IDR_COMMAND2_2X_GIF 104

#endif
