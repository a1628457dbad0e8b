#include "tools/tarnwell_sim/dialog_picture.h"

#include <algorithm>

#include "platform/text_format.h"

namespace tw::tarnwell_sim {
namespace {

int Column(int units) {
    return units / 3;
}
int Row(int units) {
    return units * 2 / 19;
}

// A grid of characters with the dialog's frame around it.
class Canvas {
  public:
    Canvas(int columns, int rows)
        : columns_(columns),
          cells_(static_cast<std::size_t>(rows), std::u16string(columns, u' ')) {}

    // Writes `text` from (column, row), cut at `limit` columns and at the edge.
    void put(int column, int row, std::u16string_view text, int limit) {
        if (row < 0 || row >= static_cast<int>(cells_.size())) {
            return;
        }
        std::u16string& line = cells_[static_cast<std::size_t>(row)];
        for (int i = 0; i < static_cast<int>(text.size()) && i < limit; ++i) {
            int at = column + i;
            if (at >= 0 && at < columns_) {
                line[static_cast<std::size_t>(at)] = text[static_cast<std::size_t>(i)];
            }
        }
    }

    std::vector<std::string> lines(const std::u16string& caption) const {
        std::vector<std::string> out;
        std::u16string title = u"+= " + caption + u" ";
        title.resize(static_cast<std::size_t>(columns_) + 1, u'=');
        title.resize(static_cast<std::size_t>(columns_) + 1);
        out.push_back(platform::ToUtf8(title + u"+"));
        for (const std::u16string& line : cells_) {
            out.push_back(platform::ToUtf8(u"|" + line + u"|"));
        }
        out.push_back("+" + std::string(static_cast<std::size_t>(columns_), '-') + "+");
        return out;
    }

  private:
    int columns_;
    std::vector<std::u16string> cells_;
};

// Splits `text` into lines of at most `width` at blanks, as a static control
// wraps its text; a word longer than a line is cut.
std::vector<std::u16string> Wrap(std::u16string_view text, std::size_t width) {
    std::vector<std::u16string> lines;
    std::u16string line;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(u' ', at);
        if (end == std::u16string_view::npos) {
            end = text.size();
        }
        std::u16string_view word = text.substr(at, end - at);
        std::size_t needed = line.size() + word.size();
        if (!line.empty() && needed > width) {
            lines.push_back(line);
            line.clear();
        }
        line.append(word);
        at = end;
        // Blanks after a word stay with it (the labels start with ">   ").
        while (at < text.size() && text[at] == u' ') {
            line.push_back(u' ');
            ++at;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

void DrawGroup(Canvas& canvas, const sim::ControlState& control) {
    const sim::ControlTemplate& place = control.control;
    int left = Column(place.x);
    int right = Column(place.x + place.cx) - 1;
    int top = Row(place.y);
    int bottom = Row(place.y + place.cy);
    int width = right - left + 1;
    std::u16string edge(static_cast<std::size_t>(width), u'-');
    edge.front() = u'+';
    edge.back() = u'+';
    canvas.put(left, top, edge, width);
    canvas.put(left, bottom, edge, width);
    for (int row = top + 1; row < bottom; ++row) {
        canvas.put(left, row, u"|", 1);
        canvas.put(right, row, u"|", 1);
    }
    canvas.put(left + 2, top, u" " + control.text + u" ", width - 4);
}

}  // namespace

std::vector<std::string> DialogPicture(const sim::DialogWindow& dialog) {
    if (!dialog.visible()) {
        return {};
    }
    Canvas canvas(Column(dialog.width()), Row(dialog.height()));
    for (const sim::ControlState& control : dialog.controls()) {
        const sim::ControlTemplate& place = control.control;
        if ((place.style & sim::style::kWsVisible) == 0) {
            continue;
        }
        int column = Column(place.x);
        int row = Row(place.y);
        int width = Column(place.cx);
        if (!control.enabled) {
            canvas.put(column - 1, row, u"~", 1);
        }
        if (place.windowClass == sim::ControlClass::Static) {
            int rows = std::max(1, (place.cy * 2 + 9) / 19);
            std::vector<std::u16string> lines = Wrap(control.text, static_cast<std::size_t>(width));
            for (int i = 0; i < rows && i < static_cast<int>(lines.size()); ++i) {
                canvas.put(column, row + i, lines[static_cast<std::size_t>(i)], width);
            }
            continue;
        }
        switch (place.style & sim::style::kBsTypeMask) {
            case sim::style::kBsGroupBox:
                DrawGroup(canvas, control);
                break;
            case sim::style::kBsRadioButton:
            case sim::style::kBsAutoRadioButton:
                canvas.put(column, row, (control.checked ? u"(*) " : u"( ) ") + control.text,
                           width);
                break;
            default:
                canvas.put(column, row, u"[ " + control.text + u" ]", width);
                break;
        }
    }
    return canvas.lines(dialog.caption());
}

}  // namespace tw::tarnwell_sim
