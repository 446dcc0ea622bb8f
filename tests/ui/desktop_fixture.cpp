#include "desktop_fixture.h"

#include <QElapsedTimer>

#include "core/cp932.h"
#include "core/settings_keys.h"
#include "ui/frame/desktop_startup.h"

namespace quor::test {

std::string Sjis(const std::string& utf8) {
    return core::FromUtf8(utf8);
}

void WriteBoards(core::SettingsStore& store, const std::vector<BoardSpec>& boards) {
    store.WriteInt(core::kSectionTree, core::key::kCount, static_cast<int>(boards.size()));
    int number = 0;
    for (const BoardSpec& board : boards) {
        ++number;
        store.WriteInt(core::kSectionTree, core::BoardKey(core::key::kParent, number),
                       board.parent);
        store.WriteString(core::kSectionTree, core::BoardKey(core::key::kName, number),
                          Sjis(board.name));
        store.WriteString(core::kSectionTree, core::BoardKey(core::key::kUrl, number),
                          Sjis(board.url));
    }
}

void PutPosts(core::CQuorApp& app, int slot, const std::vector<PostSpec>& posts) {
    app.WithWorkspace(slot, [&](core::BoardWorkspace& workspace) {
        workspace.posts.Clear();
        for (const PostSpec& post : posts) {
            workspace.posts.Append(core::Post{Sjis(post.title), Sjis(post.name), Sjis(post.date),
                                              Sjis(post.message), post.unread});
        }
    });
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}

DesktopTest::~DesktopTest() {
    frontend_.SetClosing();
    frontend_.AttachFrame(nullptr);
    frame_.reset();
    app_.reset();
}

void DesktopTest::Start() {
    frame_ = ui::StartDesktop(*app_, frontend_);
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
}

}  // namespace quor::test
