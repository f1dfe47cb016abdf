// The disk health report (BuildDiskReport) over a folder of random per-PC files, histories read
// from their end, and an event log.
//
// Input: one part per file (parts separated by 0x1E), each the file's name, a LF, then its bytes
// (CP932). A name that starts with "hdd/" is a file of the history folder (a history, or
// "_hddfail.txt"); any other name is a file of the folder itself. A part without a name is left
// out.
//
// Properties: the report is written; it is one HTML page in valid UTF-8 with one table body per
// per-PC file; every "<" of it opens one of the page's own elements, so that no text of a file
// became markup.

#include <set>
#include <string>
#include <vector>

#include "fakes/fake_files.h"
#include "fleet/fleet_tables.h"
#include "fleet/report/disk_report.h"
#include "fleet/table_files.h"
#include "fuzz_support.h"
#include "platform/posix/iconv_codec.h"

namespace {

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

// The first "<" that does not open or close an element of the page's own vocabulary; npos if none.
size_t StrayMarkup(const std::string& page) {
  static const std::set<std::string> tags = {
      "!DOCTYPE", "html", "head", "meta", "title", "style", "body", "h1", "h2", "p", "br", "ul", "li",
      "span", "div", "figure", "figcaption", "pre", "table", "thead", "tbody", "tr", "th", "td",
      "svg", "rect", "path", "text", "clipPath", "g", "polygon", "ellipse"};
  for (size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
    size_t from = at + 1 + (at + 1 < page.size() && page[at + 1] == '/' ? 1 : 0);
    size_t end = page.find_first_of(" >\n/", from);
    if (end == std::string::npos || !tags.count(page.substr(from, end - from))) return at;
  }
  return std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  const std::string folder = "C:\\pcdata";
  test::FakeFiles files;
  files.AddFolder(folder + "\\hdd");
  for (std::string_view part : fuzz::SplitParts(fuzz::AsText(data, size))) {
    const size_t lf = part.find('\n');
    std::string name(part.substr(0, lf));
    const bool inHistoryFolder = name.rfind("hdd/", 0) == 0;
    if (inHistoryFolder) name.erase(0, 4);
    std::erase_if(name, [](char c) { return c == '\\' || c == '/' || c == ':' || c == '\r' || c == '\0'; });
    if (name.empty()) continue;
    files.Put(folder + (inHistoryFolder ? "\\hdd\\" : "\\") + name,
              std::string(lf == std::string_view::npos ? std::string_view() : part.substr(lf + 1)));
  }
  int perPcFiles = 0;
  for (const std::string& name : files.ListFiles(folder, "*.csv").value_or(std::vector<std::string>{}))
    perPcFiles += IsPerPcFileName(name) ? 1 : 0;

  IconvCodec codec;
  BufferedTableFiles pages(files);
  const DiskReportResult r = BuildDiskReport(files, codec, pages, folder, DateTime{2026, 12, 6, 9, 0, 0, 0});
  ORV_FUZZ_CHECK(r.ok, r.message);
  const std::string page = files.Get(r.path);
  ORV_FUZZ_CHECK(page.rfind("<!DOCTYPE html>", 0) == 0 && page.ends_with("</html>\n"), "not a whole page");
  ORV_FUZZ_CHECK(ValidUtf8(page), "not UTF-8");
  size_t rows = 0;
  for (size_t at = page.find("<tbody class=\"pc\">"); at != std::string::npos; at = page.find("<tbody class=\"pc\">", at + 1))
    ++rows;
  ORV_FUZZ_CHECK(rows == static_cast<size_t>(perPcFiles), std::to_string(rows) + " rows");
  const size_t stray = StrayMarkup(page);
  ORV_FUZZ_CHECK(stray == std::string::npos, page.substr(stray, 60));
  return 0;
}
