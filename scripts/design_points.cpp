// Prints, as shell assignments, where the scripts that drive the window with
// X input point and click, taken from the design at a resolution: the middle
// of each field and of the picture button, a point of the bare window surface
// right of the button, and the maker's site as configured.
//   design_points [DPI]      (96 when not given)
#include <mensurel/ui/design.h>
#include <mensurel/ui/layout.h>

#include <cstdio>
#include <cstdlib>

namespace {

void print(const char* name, int x, int y)
{
    std::printf("%s=(%d %d)\n", name, x, y);
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace mensurel::ui;
    const int dpi = argc > 1 ? std::atoi(argv[1]) : kDesignDpi;
    const Layout layout = layoutAt(dpi);
    const auto middle = [&](Control control) {
        const PixelRect& r = layout.controls[static_cast<std::size_t>(control)];
        return PixelPoint { .x = r.left + (r.width / 2), .y = r.top + (r.height / 2) };
    };
    for (const Control control :
        { Control::mils, Control::mm, Control::inchs, Control::ums, Control::Command1 }) {
        const PixelPoint at = middle(control);
        print(control == Control::Command1 ? "button" : designOf(control).name.data(), at.x, at.y);
    }
    const PixelRect& button = layout.controls[static_cast<std::size_t>(Control::Command1)];
    print("surface", (button.right() + layout.clientWidth) / 2, middle(Control::Command1).y);
    std::printf("site='%.*s'\nsite_host='%s'\n", static_cast<int>(siteAddress().size()),
        siteAddress().data(), siteHost().c_str());
    return 0;
}
