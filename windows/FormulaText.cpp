#include "windows/FormulaText.h"

#include <array>
#include <utility>

namespace tv {

namespace {

constexpr std::string_view Lowered = "\xC2\xA7"; // "§"
constexpr std::string_view Bullet = "\xE2\x80\xA2";

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
}

// Length of the UTF-8 sequence that starts with byte c (1 for stray bytes).
size_t CharLength(unsigned char c) {
    if (c >= 0xF0 && c < 0xF8) return 4;
    if (c >= 0xE0) return c < 0xF0 ? 3 : 1;
    if (c >= 0xC0) return 2;
    return 1;
}

} // namespace

std::string StripMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '~') {
            ++i;
        } else if (text.substr(i, 2) == Lowered) {
            i += 2;
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

std::string EnglishFormula(std::string text) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> Table{{
        {"~erw~", "~exp~"},
        {",ungepl", ",unpl"},
        {"mittel[", "mean["},
        {"mit:", "with:"}, // verbatim
        {"sonst:", "else:"}, // verbatim
        {"tats", "act"},
    }};
    for (auto [from, to] : Table)
        ReplaceAll(text, from, to);
    return text;
}

std::vector<FormulaRun> LayoutFormulaText(const FormulaMetrics& metrics, FormulaRect rect,
                                          int xOffset, std::string_view highlight,
                                          std::string_view source, bool centred, int language) {
    std::vector<FormulaRun> runs;
    if (source.empty()) return runs;
    std::string text = language == 2 ? EnglishFormula(std::string(source)) : std::string(source);

    // What is written, for measuring: no markup, bullets for "*".
    std::string shown = StripMarkup(text);
    ReplaceAll(shown, "*", Bullet);
    const int width = metrics.Width(shown);
    const int height = metrics.Height(text);
    const int size = metrics.PointSize();
    const int c = (rect.Height - height) / 2;
    const int x0 = centred ? rect.Left + (rect.Width - width) / 2 : rect.Left + xOffset;

    // Bytes of the text that belong to an occurrence of the highlight.
    std::vector<bool> marked(text.size(), false);
    if (!highlight.empty())
        for (size_t pos = text.find(highlight); pos != std::string::npos;
             pos = text.find(highlight, pos + highlight.size()))
            for (size_t k = 0; k < highlight.size(); ++k)
                marked[pos + k] = true;

    int e = 0;
    int x = x0;
    FormulaRun run;
    bool open = false;
    auto flush = [&] {
        if (!open) return;
        x += metrics.Width(run.Text);
        runs.push_back(std::move(run));
        run = FormulaRun{};
        open = false;
    };
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '~') {
            e = e > 0 ? 0 : size / 2;
            ++i;
            continue;
        }
        if (text.compare(i, Lowered.size(), Lowered) == 0) {
            e = e < 0 ? 0 : -(size / 2);
            i += Lowered.size();
            continue;
        }
        const size_t len =
            std::min(CharLength(static_cast<unsigned char>(text[i])), text.size() - i);
        std::string_view ch(text.data() + i, len);
        int shift = e;
        if (metrics.Printer() && shift != 0) {
            const int h = metrics.Height(ch) / 2;
            shift = shift > 0 ? h : -h;
        }
        const bool hl = marked[i];
        if (open && (run.Shift != shift || run.Highlight != hl)) flush();
        if (!open) {
            run.X = x;
            run.Y = rect.Top + rect.Height - height - c - shift;
            run.Shift = shift;
            run.Highlight = hl;
            open = true;
        }
        if (ch == "*")
            run.Text += Bullet;
        else
            run.Text += ch;
        i += len;
    }
    flush();
    return runs;
}

} // namespace tv
