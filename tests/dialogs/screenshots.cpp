// Saves pictures of the three dialogs for the user guide: key-settings.png,
// key-capture.png and about.png in the folder given (default: the current one).
// Run under a display, e.g. xvfb-run -a dialogs_screenshots docs
#include <cstdio>
#include <string>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>

#include "dialogs/about.h"
#include "dialogs/ini.h"
#include "dialogs/key.h"
#include "keymap/ini_profile_store.h"
#include "support/memory_file_access.h"
#include "support/memory_log.h"
#include "support/recording_injector.h"
#include "translate/keygate.h"
#include "translate/us_layout.h"

namespace {

bool Save(QWidget& widget, const QDir& folder, const char* name) {
    QTest::qWait(200);  // let the window system map and paint the window
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "%s: cannot write\n", path.toLocal8Bit().constData());
        return false;
    }
    std::printf("%s\n", path.toLocal8Bit().constData());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    qel::test::MemoryFileAccess files;
    qel::IniProfileStore store(files);
    qel::UsEnglishLayout layout;
    qel::test::MemoryLog log;
    qel::test::RecordingInjector keys;
    qel::FlagKeyGate gate;
    qel::KeyCore core(qel::KeyMapLocation{"keymap.ini"}, store, layout, keys, log, gate);
    qel::TKeyForm keyForm;
    qel::TIniForm iniForm(core, keyForm);
    qel::TAboutForm aboutForm;

    // A few bindings, so the rows show key texts as a user's would.
    if (const auto& path = iniForm.IniFileName()) {
        files.Files[*path] =
            "[qel_1000_0]\r\nafcs_ap=A\r\nafcs_hdg=H\r\nsoftkey_1=F1\r\nsoftkey_2=F2\r\n"
            "softkey_3=F3\r\nsoftkey_4=SHIFT+CTRL+F1\r\nnav_freq_toggle=CTRL+N\r\n"
            "nav_in_decr=NUMPAD4\r\nnav_in_incr=NUMPAD6\r\n";
    }
    core.ReadBindings();

    bool saved = true;
    iniForm.show();
    saved = Save(iniForm, folder, "key-settings.png") && saved;

    keyForm.Description = QStringLiteral("Press a key for 'SOFTKEY_3'");
    keyForm.show();
    saved = Save(keyForm, folder, "key-capture.png") && saved;
    keyForm.close();
    iniForm.close();

    aboutForm.show();
    saved = Save(aboutForm, folder, "about.png") && saved;
    aboutForm.close();
    return saved ? 0 : 1;
}
