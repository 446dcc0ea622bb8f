// The post list driven as a user does: refills, header clicks, row selection, and what its rows
// look like.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "core/memory_settings_store.h"
#include "desktop_fixture.h"
#include "ui/views/message_text.h"
#include "ui/views/message_view.h"
#include "ui/views/post_list_model.h"
#include "ui/views/post_list_view.h"
#include "ui/views/post_row_painter.h"

namespace quor::ui {
namespace {

using test::PostSpec;
using test::PutPosts;
using test::Sjis;

class PostListTest : public ::testing::Test {
protected:
    PostListTest() {
        list_.SetMessageView(&message_);
        list_.resize(600, 300);
        list_.show();
    }

    // Column texts of every row, top to bottom.
    std::vector<QString> Column(int column) {
        std::vector<QString> texts;
        for (int row = 0; row < list_.Model().rowCount(); ++row)
            texts.push_back(list_.Model().index(row, column).data().toString());
        return texts;
    }

    void ClickHeader(int column) {
        QHeaderView* header = list_.header();
        const QPoint at(header->sectionViewportPosition(column) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    void ClickRow(int row) {
        const QRect rect = list_.visualRect(list_.Model().index(row, 0));
        QTest::mouseClick(list_.viewport(), Qt::LeftButton, {}, rect.center());
    }

    core::MemorySettingsStore store_;
    core::CQuorApp app_{store_};
    CQuorDownView message_;
    CQuorUpView list_{app_};
};

const std::vector<PostSpec> kThreePosts{
    {"b-title", "zed", "9/30", "third of the alphabet", 0},
    {"c-title", "amy", "10/01", "first", 1},
    {"a-title", "kim", "2024", "middle", 0},
};

TEST_F(PostListTest, ModelPassesTheItemModelTesterThroughRefillsAndSorts) {
    QAbstractItemModelTester tester(&list_.Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    PutPosts(app_, 0, kThreePosts);
    list_.RefreshPostList();
    list_.OnColumnClick(0);
    list_.OnColumnClick(2);
    app_.currentBoard = 5;
    list_.RefreshPostList();
    EXPECT_EQ(list_.Model().rowCount(), 0);
}

TEST_F(PostListTest, RefillShowsTheCurrentBoardInTableOrderWithHeaders) {
    PutPosts(app_, 2, kThreePosts);
    app_.currentBoard = 2;
    list_.RefreshPostList();
    EXPECT_EQ(Column(0), (std::vector<QString>{QStringLiteral("b-title"), QStringLiteral("c-title"),
                                               QStringLiteral("a-title")}));
    EXPECT_EQ(Column(3)[1], QStringLiteral("first"));
    PutPosts(app_, 2, {{"t", "", "", "line one\r\nline two\nthree", 0}});
    list_.RefreshPostList();
    EXPECT_EQ(Column(3)[0], QStringLiteral("line one line two three"))
        << "line breaks of the message show as blanks in one line";
    const QStringList headers{QStringLiteral("Title"), QStringLiteral("Name"),
                              QStringLiteral("Time"), QStringLiteral("Status")};
    const int widths[] = {200, 100, 100, 120};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(list_.Model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                  headers[column]);
        EXPECT_EQ(list_.header()->sectionSize(column), widths[column]);
    }
    EXPECT_TRUE(list_.selectionModel()->selectedRows().isEmpty()) << "no row selected after refill";
}

TEST_F(PostListTest, OneAscendingFlagForAllColumnsTogglesAndResetsOnRefill) {
    PutPosts(app_, 0, kThreePosts);
    list_.RefreshPostList();
    ClickHeader(1);
    EXPECT_EQ(Column(1), (std::vector<QString>{QStringLiteral("amy"), QStringLiteral("kim"),
                                               QStringLiteral("zed")}))
        << "the first click after a refill sorts ascending";
    ClickHeader(0);
    EXPECT_EQ(Column(0), (std::vector<QString>{QStringLiteral("c-title"), QStringLiteral("b-title"),
                                               QStringLiteral("a-title")}))
        << "the next click, on any column, sorts descending";
    list_.RefreshPostList();
    EXPECT_TRUE(list_.Ascending());
    ClickHeader(0);
    EXPECT_EQ(Column(0).front(), QStringLiteral("a-title"));
}

TEST_F(PostListTest, DatesSortAsTextNotAsTime) {
    PutPosts(app_, 0,
             {{"x", "", "9/30 12:00", "", 0},
              {"y", "", "10/01 08:00", "", 0},
              {"z", "", "2023/12/31", "", 0}});
    list_.RefreshPostList();
    list_.OnColumnClick(2);
    EXPECT_EQ(Column(2),
              (std::vector<QString>{QStringLiteral("10/01 08:00"), QStringLiteral("2023/12/31"),
                                    QStringLiteral("9/30 12:00")}));
}

TEST_F(PostListTest, JapaneseSortsByShiftJisBytes) {
    PutPosts(app_, 0,
             {{"あ", "", "", "", 0},
              {"Ａ", "", "", "", 0},
              {"ｱ", "", "", "", 0},
              {"亜", "", "", "", 0}});
    list_.RefreshPostList();
    list_.OnColumnClick(0);
    EXPECT_EQ(Column(0), (std::vector<QString>{QStringLiteral("Ａ"), QStringLiteral("あ"),
                                               QStringLiteral("亜"), QStringLiteral("ｱ")}));
}

TEST_F(PostListTest, SelectingARowShowsItsPostAndMarksItReadAlsoAfterSorting) {
    PutPosts(app_, 0, kThreePosts);
    list_.RefreshPostList();
    list_.OnColumnClick(0);  // a-title, b-title, c-title
    ClickRow(2);
    const core::Post expected{Sjis("c-title"), Sjis("amy"), Sjis("10/01"), Sjis("first"), 0};
    EXPECT_EQ(message_.Text(), BuildMessageText(expected)) << "row 2 stands for post 1";
    EXPECT_EQ(list_.LastShownPost(), 1);
    EXPECT_EQ(
        app_.WithWorkspace(
            0, [](const core::BoardWorkspace& workspace) { return workspace.posts.At(1).unread; }),
        0);
    EXPECT_FALSE(list_.Model().index(2, 0).data(PostListModel::kUnreadRole).toBool());
}

TEST_F(PostListTest, SelectingTheFirstRowAgainWritesItAgain) {
    PutPosts(app_, 0, kThreePosts);
    list_.RefreshPostList();
    ClickRow(0);
    const std::string first = message_.Text();
    ClickRow(1);
    EXPECT_NE(message_.Text(), first);
    message_.insertPlainText(QStringLiteral("typed"));
    ClickRow(0);
    EXPECT_EQ(message_.Text(), first);

    // The same post again (a refill keeps the last shown post) does not rewrite the view.
    message_.insertPlainText(QStringLiteral("typed"));
    const std::string typed = message_.Text();
    list_.RefreshPostList();
    ClickRow(0);
    EXPECT_EQ(message_.Text(), typed);
}

TEST_F(PostListTest, AnEmptyBoardEmptiesTheListAndKeepsTheMessage) {
    PutPosts(app_, 0, kThreePosts);
    list_.RefreshPostList();
    ClickRow(0);
    const std::string shown = message_.Text();
    PutPosts(app_, 0, {});
    list_.RefreshPostList();
    EXPECT_EQ(list_.Model().rowCount(), 0);
    EXPECT_EQ(message_.Text(), shown);
}

// Sum of darkness of the pixels in a rectangle of an image: bold (twice drawn) text is darker.
long Ink(const QImage& image, const QRect& area) {
    long ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ink += 255 - qGray(image.pixel(x, y));
    }
    return ink;
}

TEST_F(PostListTest, UnreadRowsAreDrawnBoldUntilSelected) {
    PutPosts(app_, 0,
             {{"same title", "same", "same", "same", 1},
              {"same title", "same", "same", "same", 0},
              {"other", "", "", "", 0}});
    list_.RefreshPostList();
    const auto rowArea = [this](int row) {
        QRect rect = list_.visualRect(list_.Model().index(row, 0));
        rect.setLeft(0);
        rect.setRight(519);
        return rect;
    };
    QImage before = list_.viewport()->grab().toImage();
    EXPECT_GT(Ink(before, rowArea(0)), Ink(before, rowArea(1)) * 11 / 10);

    ClickRow(0);
    ClickRow(2);  // move the selection away so both rows are drawn unselected again
    QImage after = list_.viewport()->grab().toImage();
    EXPECT_EQ(Ink(after, rowArea(0)), Ink(after, rowArea(1)));
}

TEST(RowShortening, CutsCharactersUntilTheTextFitsWithTheDots) {
    // Every character 10 pixels wide.
    const auto measure = [](const QString& text) { return static_cast<int>(text.size()) * 10; };
    EXPECT_EQ(ShortenToFit(QStringLiteral("abcdefghij"), 112, measure),
              QStringLiteral("abcdefghij"))
        << "100 <= 112 - 12 fits";
    EXPECT_EQ(ShortenToFit(QStringLiteral("abcdefghij"), 111, measure),
              QStringLiteral("abcdefg..."))
        << "100 > 99 is shortened until at most 106 wide";
    EXPECT_EQ(ShortenToFit(QStringLiteral("abcdefghij"), 105, measure),
              QStringLiteral("abcdefg..."))
        << "exactly width - 5 fits";
    EXPECT_EQ(ShortenToFit(QStringLiteral("abcdefghij"), 104, measure),
              QStringLiteral("abcdef..."));
    EXPECT_EQ(ShortenToFit(QStringLiteral("abcdefghij"), 10, measure), QStringLiteral("a..."))
        << "stops when one character is left";
}

TEST(RowShortening, JapaneseTitlesAreShortenedOnCharacterBoundaries) {
    QFont font;
    const QFontMetrics metrics(font);
    const auto measure = [&metrics](const QString& text) {
        return metrics.horizontalAdvance(text);
    };
    const QString title = QStringLiteral("日本語のとても長いタイトルがここに続いていきます𠮷野家");
    const QString shown = ShortenToFit(title, 200, measure);
    ASSERT_TRUE(shown.endsWith(QStringLiteral("...")));
    const QString kept = shown.chopped(3);
    EXPECT_TRUE(title.startsWith(kept));
    EXPECT_FALSE(kept.back().isHighSurrogate());
    EXPECT_LE(measure(shown), 195);
    // One more character would not have fitted.
    EXPECT_GT(measure(title.left(kept.size() + 1) + QStringLiteral("...")), 195);
}

TEST(RowPainting, FittingTextKeepsASixPixelMargin) {
    QImage image(200, 20, QImage::Format_RGB32);
    QPainter painter(&image);
    QWidget widget;
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    PaintPostRow(painter, QRect(0, 0, 200, 20), {{0, 200, QStringLiteral("Hi")}}, {}, palette,
                 QFontMetrics(painter.font()), &widget);
    painter.end();
    int leftmost = 200;
    for (int x = 0; x < 200 && leftmost == 200; ++x) {
        for (int y = 0; y < 20; ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                leftmost = x;
                break;
            }
        }
    }
    EXPECT_GE(leftmost, 6);
    EXPECT_LT(leftmost, 12);
}

}  // namespace
}  // namespace quor::ui

namespace quor::ui {
namespace {

// The rightmost column of the image with dark ink, or -1.
int RightmostInk(const QImage& image) {
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 160)
                return x;
        }
    }
    return -1;
}

TEST(RowPainting, ShortenedTextEndsInVisibleDotsAtTheColumnEdge) {
    const QStringList texts{QStringLiteral("Hellofrompost2．Secondline<b>"),
                            QStringLiteral("こんにちは。これは1ページ目の投稿"),
                            QStringLiteral("averyveryverylongasciititletext")};
    for (const QString& text : texts) {
        QImage image(160, 20, QImage::Format_RGB32);
        QPainter painter(&image);
        QWidget widget;
        QPalette palette;
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        const QFontMetrics metrics(painter.font());
        PaintPostRow(painter, QRect(0, 0, 160, 20), {{0, 120, text}}, {}, palette, metrics,
                     &widget);
        painter.end();
        const QString shown =
            ShortenToFit(text, 120, [&](const QString& t) { return metrics.horizontalAdvance(t); });
        EXPECT_TRUE(shown.endsWith(QStringLiteral("..."))) << text.toStdString();
        const int right = RightmostInk(image);
        EXPECT_LT(right, 120) << "nothing is drawn past the column: " << text.toStdString();
        EXPECT_GE(right, 6 + metrics.horizontalAdvance(shown) - 3)
            << "the whole shortened text, dots included, is drawn: " << text.toStdString();
    }
}

}  // namespace
}  // namespace quor::ui
