// The caret of a field holding a very long text, held steady.
#pragma once

#include <optional>

class QLineEdit;

namespace mensurel::qt {

// Each blink of the caret repaints its field, and a line edit lays out its
// whole text for every paint: with a megabyte in the field that alone keeps
// a quarter of a core busy. While the focused field holds a text that long
// the caret stays on instead; the desktop's blinking comes back with the
// focus elsewhere, a shorter text, or this object gone.
class SteadyCaret {
public:
    SteadyCaret() = default;
    SteadyCaret(const SteadyCaret&) = delete;
    SteadyCaret& operator=(const SteadyCaret&) = delete;
    ~SteadyCaret();

    // After the focus or a field's text changed; `focused` is the field
    // with the focus, or null when no field has it.
    void update(const QLineEdit* focused);

private:
    std::optional<int> desktopFlashTime_; // the desktop's blink while the caret is held
};

} // namespace mensurel::qt
