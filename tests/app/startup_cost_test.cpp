// What the window must not do while starting: work that only a later menu command needs.

#include <QAction>
#include <QFileDialog>

#include "program_fixture.h"

namespace qel::test {
namespace {

// A file dialog lists its folder (file types, icons, a watcher thread) as soon as it exists;
// made at start-up it cost every start about a tenth of a second and a thread.
TEST_F(ProgramTest, StartingMakesNoFileDialogAndImportMakesOneItKeeps) {
    StartAndShow();
    EXPECT_TRUE(Form().findChildren<QFileDialog*>().isEmpty());

    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        Prompts.Shown.clear();
        Part<QAction>("ImportMindstar1")->trigger();  // cancelled: no file chosen
        EXPECT_EQ(Prompts.Shown,
                  std::vector<std::string>{
                      "file dialog: Search Mindstar INI File [Mindstar INI File (G1000.ini)]"});
        EXPECT_EQ(Form().findChildren<QFileDialog*>().size(), 1);
    }
}

}  // namespace
}  // namespace qel::test
