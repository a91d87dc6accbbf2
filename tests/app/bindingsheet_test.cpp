#include <regex>
#include <string>
#include <utility>
#include <vector>

#include <QDate>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>

#include "panelview/bindingsheet.h"
#include "panelview/schematicscene.h"
#include "program_fixture.h"
#include "support/unit_ids.h"

namespace qel::test {
namespace {

// The output of a poppler-utils tool, or nothing when it did not run.
std::optional<std::string> Poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    return process.readAllStandardOutput().toStdString();
}

// The text of a page, with the lines a long key text or name was wrapped into joined again.
std::string PageText(const std::filesystem::path& pdf, int page) {
    const QString number = QString::number(page);
    const std::string text = Poppler(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-f"), number, QStringLiteral("-l"), number,
                                      QString::fromStdString(pdf.string()), QStringLiteral("-")})
                                 .value_or("(pdftotext failed)");
    return std::regex_replace(text, std::regex("([+_])\n"), "$1");
}

// The words of a page with their heights in points; the height of a word is its font's.
std::vector<std::pair<std::string, double>> PageWords(const std::filesystem::path& pdf, int page) {
    const QString number = QString::number(page);
    const std::string xml =
        Poppler(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox"), QStringLiteral("-f"), number, QStringLiteral("-l"),
                 number, QString::fromStdString(pdf.string()), QStringLiteral("-")})
            .value_or("");
    static const std::regex word(
        R"re(<word xMin="[^"]*" yMin="([^"]*)" xMax="[^"]*" yMax="([^"]*)">([^<]*)</word>)re");
    std::vector<std::pair<std::string, double>> words;
    for (auto at = std::sregex_iterator(xml.begin(), xml.end(), word); at != std::sregex_iterator();
         ++at) {
        words.emplace_back((*at)[3].str(), std::stod((*at)[2].str()) - std::stod((*at)[1].str()));
    }
    return words;
}

std::string PdfInfo(const std::filesystem::path& pdf) {
    return Poppler(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())})
        .value_or("(pdfinfo failed)");
}

int PageCount(const std::filesystem::path& pdf) {
    const std::string info = PdfInfo(pdf);
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

class BindingSheetTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            GTEST_SKIP() << "pdftotext (poppler-utils, scripts/install-deps) reads the sheet";
        }
    }

    // Prints through the menu into name; what the user was shown.
    std::vector<std::string> Print(const std::filesystem::path& name) {
        Prompts.Shown.clear();
        Prompts.FileChoices = {QString::fromStdString(name.string())};
        Part<QAction>("PrintBindings1")->trigger();
        return Prompts.Shown;
    }

    static constexpr char kDialog[] =
        "file dialog: Print Bindings [PDF file (*.pdf)|HTML file (*.html)]";
};

TEST_F(BindingSheetTest, OnePagePerBoundUnitWithEveryControlNameAndKeyTextOnItsOwnPage) {
    WriteText(KeyMapPath(),
              "[qel_1000_1]\nsoftkey_3=F3\nhdg_incr=CTRL+RIGHT\nrange_pan_nw=SHIFT+UP\n"
              "com_freq_toggle=SHIFT+CTRL+ALT+PAGEDOWN\n"
              "[qel_audio_0]\ncom1_mic=ALT+1\npilot_decr=SHIFT+DASH\n");
    StartAndShow();
    const std::filesystem::path pdf = Directory / "sheet.pdf";
    EXPECT_EQ(Print(pdf), (std::vector<std::string>{
                              kDialog, "message: Bindings written to " + pdf.string() + "."}));

    EXPECT_EQ(PageCount(pdf), 2);
    struct Page {
        int Number;
        int DeviceIndex;
        std::vector<std::string> Present;
        std::vector<std::string> Absent;
    };
    const std::string date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    const Page pages[]{
        {1,
         1,
         {"QEL1000-1", "qel_1000_1", KeyMapPath().string(), date, "F3", "CTRL+RIGHT", "SHIFT+UP",
          "SHIFT+CTRL+ALT+PAGEDOWN"},
         {"qel_audio_0", "ALT+1", "SHIFT+DASH", "COM1_MIC"}},
        {2,
         4,
         {"QELAudio-0", "qel_audio_0", KeyMapPath().string(), date, "ALT+1", "SHIFT+DASH"},
         {"qel_1000_1", "SOFTKEY_3", "CTRL+RIGHT"}},
    };
    for (const Page& page : pages) {
        SCOPED_TRACE(page.Number);
        const std::string text = PageText(pdf, page.Number);
        std::vector<std::string> present = page.Present;
        for (const SceneCell& cell :
             BuildUnitScene(DeviceUnit(page.DeviceIndex), TheProgram->Session.Keys().Units(),
                            TheProgram->Session.Keys().Layout())
                 .Cells) {
            present.push_back(cell.Name);
        }
        for (const std::string& wanted : present) {
            EXPECT_NE(text.find(wanted), std::string::npos) << wanted << " in:\n" << text;
        }
        for (const std::string& unwanted : page.Absent) {
            EXPECT_EQ(text.find(unwanted), std::string::npos) << unwanted;
        }
        // Nothing in print under 7 points: measured against the subtitle's 9.
        const auto words = PageWords(pdf, page.Number);
        const auto subtitle = std::find_if(words.begin(), words.end(),
                                           [](const auto& w) { return w.first == "Printed:"; });
        ASSERT_NE(subtitle, words.end());
        for (const auto& [word, height] : words) {
            EXPECT_GE(height, subtitle->second * 7 / 9) << word;
            EXPECT_EQ(word.find("\u2026"), std::string::npos) << word << " is cut short";
        }
    }
}

TEST_F(BindingSheetTest, HtmlHoldsTheSameUnitsNamesAndKeyTexts) {
    WriteText(KeyMapPath(), "[qel_1000_3]\nsoftkey_12=F12\nbaro_decr=B\n");
    StartAndShow();
    const std::filesystem::path html = Directory / "sheet.HTML";
    EXPECT_EQ(Print(html).back(), "message: Bindings written to " + html.string() + ".");
    const std::string text = ReadText(html);
    for (const char* wanted : {"<h1>QEL1000-3<span>qel_1000_3</span></h1>", "SOFTKEY_12", ">F12<",
                               "BARO", "\u2212 B<"}) {
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
    }
    EXPECT_EQ(text.find("overflow:hidden"), std::string::npos) << "long names wrap, uncut";
    EXPECT_EQ(text.find("qel_1000_0"), std::string::npos) << "units without bindings are left out";
}

TEST_F(BindingSheetTest, AFileThatCannotBeWrittenIsReportedAndNothingIsClaimed) {
    StartAndShow();
    const std::filesystem::path nowhere = Directory / "no such folder" / "sheet.pdf";
    const std::vector<std::string> shown = Print(nowhere);
    ASSERT_EQ(shown.size(), 2U);
    EXPECT_EQ(shown[1].rfind("error: " + nowhere.string() + ": cannot write (", 0), 0U) << shown[1];

    Prompts.Shown.clear();
    Prompts.FileChoices = {std::nullopt};
    Part<QAction>("PrintBindings1")->trigger();
    EXPECT_EQ(Prompts.Shown, std::vector<std::string>{kDialog}) << "cancelled: nothing more";
}

TEST_F(BindingSheetTest, WithNoBindingOnePageSaysSoAndPagesFollowTheLocale) {
    StartAndShow();
    const std::filesystem::path pdf = Directory / "empty.pdf";
    SheetContent content{&TheProgram->Session.Keys().Units(), &TheProgram->Session.Keys().Layout(),
                         QStringLiteral("/a&b/<keymap>.ini"), QDate(2024, 5, 1),
                         LocalePageSize(QLocale(QLocale::English, QLocale::UnitedStates))};
    ASSERT_TRUE(WriteSheetPdf(QString::fromStdString(pdf.string()), content).Written);
    EXPECT_EQ(PageCount(pdf), 1);
    EXPECT_NE(PdfInfo(pdf).find("792 x 612 pts (letter)"), std::string::npos) << PdfInfo(pdf);
    EXPECT_NE(PageText(pdf, 1).find("No control is bound."), std::string::npos);
    EXPECT_EQ(LocalePageSize(QLocale(QLocale::German, QLocale::Germany)).id(), QPageSize::A4);

    const std::filesystem::path html = Directory / "empty.html";
    ASSERT_TRUE(WriteSheetHtml(QString::fromStdString(html.string()), content).Written);
    EXPECT_NE(ReadText(html).find("/a&amp;b/&lt;keymap&gt;.ini"), std::string::npos);
}

}  // namespace
}  // namespace qel::test
