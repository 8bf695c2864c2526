#include "ui/uTextWrap.h"

#include <sstream>

namespace {

// The length of the UTF-8 character that starts at `text[i]`.
size_t CharLength(const std::string& text, size_t i) {
  size_t n = 1;
  while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
  return n;
}

// Breaks a word too wide for one line between its characters.
void BreakWord(zglPFont font, const std::string& word, float width, std::vector<std::string>* lines,
               std::string* line) {
  for (size_t i = 0; i < word.size();) {
    const size_t n = CharLength(word, i);
    const std::string longer = *line + word.substr(i, n);
    if (!line->empty() && text_GetWidth(font, longer) > width) {
      lines->push_back(*line);
      *line = word.substr(i, n);
    } else {
      *line = longer;
    }
    i += n;
  }
}

void WrapParagraph(zglPFont font, const std::string& paragraph, float width, std::vector<std::string>* lines) {
  std::string line;
  std::istringstream words(paragraph);
  for (std::string word; words >> word;) {
    const std::string longer = line.empty() ? word : line + " " + word;
    if (text_GetWidth(font, longer) <= width) {
      line = longer;
      continue;
    }
    if (!line.empty()) lines->push_back(line);
    line.clear();
    if (text_GetWidth(font, word) <= width)
      line = word;
    else
      BreakWord(font, word, width, lines, &line);
  }
  lines->push_back(line);
}

}  // namespace

std::vector<std::string> WrapText(zglPFont font, const std::string& text, float width) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string paragraph; std::getline(in, paragraph);) {
    // A line that fits keeps its own spacing.
    if (text_GetWidth(font, paragraph) <= width)
      lines.push_back(paragraph);
    else
      WrapParagraph(font, paragraph, width, &lines);
  }
  return lines;
}
