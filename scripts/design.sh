# Sourced by the scripts that drive the window with X input: where to point,
# from the design itself.
#
#   design_points BUILD_DIR [DPI]   prints shell assignments: mils, mm, inchs,
#                                   ums, button, surface as (x y) in pixels
#                                   from the client area's top-left corner at
#                                   DPI (96), and site, site_host as BUILD_DIR
#                                   was configured
# Compiles the small reader of the design tables (scripts/design_points.cpp)
# with the host's C++ compiler; needs a configured BUILD_DIR for the site.

design_points() { # build directory, dots per inch
  local build=$1 dpi=${2:-96} site tmp status=0
  site=$(sed -n 's/^MENSUREL_SITE_URL:STRING=//p' "$build/CMakeCache.txt" 2>/dev/null)
  [ -n "$site" ] || { echo "design_points: $build is not configured" >&2; return 1; }
  tmp=$(mktemp -d)
  c++ -std=c++20 -Iui/include -Icore/include "-DMENSUREL_SITE_URL=\"$site\"" \
    ui/design.cpp ui/layout.cpp scripts/design_points.cpp -o "$tmp/design_points" &&
    "$tmp/design_points" "$dpi" || status=1
  rm -rf "$tmp"
  return "$status"
}
