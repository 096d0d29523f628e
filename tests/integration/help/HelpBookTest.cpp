// The help book beside the built program, loaded as the help viewer loads it: every page its contents
// and index name exists, every link of every page leads to a page (and anchor) that exists, and every
// picture a page shows was made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <wx/html/helpdata.h>
#include <wx/init.h>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The values of one attribute in the tags of a page, in any case: href, src or name.
std::vector<std::string> AttributeValues(const std::string& html, const std::string& attribute) {
    const std::regex pattern("<[a-z][^>]*\\s" + attribute + "\\s*=\\s*\"([^\"]*)\"", std::regex::icase);
    std::vector<std::string> values;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), pattern); it != std::sregex_iterator();
         ++it) {
        values.push_back((*it)[1]);
    }
    return values;
}

} // namespace

TEST(HelpBookTest, EveryPageLinkAndPictureOfTheBookExists) {
    wxInitializer wx;
    ASSERT_TRUE(wx.IsOk());
    const char* bin = std::getenv("SFP_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    const fs::path folder = fs::path(bin) / "help";
    wxHtmlHelpData book;
    ASSERT_TRUE(book.AddBook(wxString::FromUTF8((folder / "rqk4712v.hhp").string())));

    // Each target is "page" or "page#anchor", relative to the book's folder, with the place that names it.
    std::vector<std::pair<std::string, std::string>> targets;
    const wxHtmlHelpDataItems& contents = book.GetContentsArray();
    for (size_t i = 0; i < contents.GetCount(); ++i) {
        targets.emplace_back(contents[i].page.utf8_string(), "the contents");
    }
    ASSERT_GT(targets.size(), 1u);
    const wxHtmlHelpDataItems& index = book.GetIndexArray();
    for (size_t i = 0; i < index.GetCount(); ++i) {
        targets.emplace_back(index[i].page.utf8_string(), "the index");
    }

    std::set<std::string> pages;
    for (const auto& [target, from] : targets) {
        pages.insert(target.substr(0, target.find('#')));
    }
    for (const std::string& page : pages) {
        const std::string html = ReadText(folder / page);
        for (const std::string& link : AttributeValues(html, "href")) {
            if (link.rfind("http:", 0) != 0 && link.rfind("https:", 0) != 0 &&
                link.rfind("mailto:", 0) != 0) {
                targets.emplace_back(link[0] == '#' ? page + link : link, page);
            }
        }
        for (const std::string& picture : AttributeValues(html, "src")) {
            EXPECT_TRUE(fs::is_regular_file(folder / picture))
                << page << " shows the missing picture " << picture;
        }
    }

    for (const auto& [target, from] : targets) {
        const size_t hash = target.find('#');
        const std::string page = target.substr(0, hash);
        if (!fs::is_regular_file(folder / page)) {
            ADD_FAILURE() << from << " leads to the missing page " << page;
            continue;
        }
        if (hash != std::string::npos) {
            const std::vector<std::string> anchors = AttributeValues(ReadText(folder / page), "name");
            const std::string anchor = target.substr(hash + 1);
            EXPECT_TRUE(std::find(anchors.begin(), anchors.end(), anchor) != anchors.end())
                << from << " leads to the missing anchor " << target;
        }
    }
}
