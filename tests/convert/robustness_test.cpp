// Random pages and markers, biased towards markup, escape sequences and pair bytes, through the
// extraction and the next-page analysis. Run under the address sanitizer, this shows that nothing
// reads or writes outside the text, whatever the bytes; the checks are properties that hold for
// any input. (The fuzzers hold the kanji decoders and the cleaner to reference rules.)

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "convert/kanji_code.h"
#include "convert/next_page.h"
#include "convert/post_extraction.h"
#include "core/board_workspace.h"

namespace quor::convert {
namespace {

class RandomText {
public:
    explicit RandomText(std::uint32_t seed) : engine_(seed) {}

    std::string Next(std::size_t maxLength) {
        static const std::string alphabet = "<>&;brBRliLIgtquoamp\x1b$(@\n\t \r=value?\"a href";
        std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(engine_), ' ');
        for (char& c : text) {
            const int pick = std::uniform_int_distribution<int>(0, 9)(engine_);
            if (pick < 6)
                c = alphabet[std::uniform_int_distribution<std::size_t>(
                    0, alphabet.size() - 1)(engine_)];
            else if (pick < 9)
                c = static_cast<char>(std::uniform_int_distribution<int>(0x80, 0xFF)(engine_));
            else
                c = static_cast<char>(std::uniform_int_distribution<int>(1, 0x7F)(engine_));
        }
        return text;
    }
    int Pick(int lower, int upper) {
        return std::uniform_int_distribution<int>(lower, upper)(engine_);
    }

private:
    std::mt19937 engine_;
};

TEST(RobustnessTest, ExtractionAndAnalysisOnRandomPagesAndMarkers) {
    RandomText random(3);
    for (int i = 0; i < 5000; ++i) {
        core::BoardWorkspace workspace(random.Next(200));
        ConvertKanjiCode(workspace, random.Pick(0, 3));
        const std::size_t size = workspace.Text().size();
        workspace.rules.markers.skip = random.Next(2);
        workspace.rules.markers.titleStart = random.Next(2);
        workspace.rules.markers.titleEnd = random.Next(2);
        workspace.rules.markers.nameStart = random.Next(2);
        workspace.rules.markers.nameEnd = random.Next(2);
        workspace.rules.markers.dateStart = random.Next(2);
        workspace.rules.markers.dateEnd = random.Next(2);
        workspace.rules.markers.messageStart = random.Next(2);
        workspace.rules.markers.messageEnd = random.Next(2);
        workspace.rules.nextPage.searchText = random.Next(2);
        workspace.rules.nextPage.method = random.Pick(0, 3);
        workspace.rules.pageLimit = random.Pick(1, 3);
        ExtractPosts(workspace);
        // Every post consumed at least four bytes of the text, one per field.
        ASSERT_LE(workspace.posts.Count() * 4, size + 4);
        ASSERT_TRUE(workspace.nextPage.flag == 0 || workspace.nextPage.flag == 1);
        ASSERT_GE(workspace.nextPage.number, 0);
        AnalyseNextPage(workspace, static_cast<std::size_t>(random.Pick(0, 400)));
    }
}

}  // namespace
}  // namespace quor::convert
