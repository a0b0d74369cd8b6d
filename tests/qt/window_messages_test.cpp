// The status line's whole messages and the messages window, on the offscreen
// platform at the smallest screen the tool is used on (1024x768).
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/status_history.h"
#include "platform/file_dialogs.h"
#include "qt/window_fixture.h"
#include "window/messages_window.h"
#include "window/status_line.h"
#include "curve/curve_file_io.h"

namespace gasecu {
namespace {

// The status texts of both languages, their numbers and names filled in as a
// fitter meets them; the file paths at a typical length for a workshop laptop.
const std::string kPath = "/home/usta/Belgeler/Egriler/2026-12-09_Astra_1.6_LPG.txt";
const std::string kLog = "/home/usta/.local/share/gasecu/2026-12-09_08-15-42.csv";
const std::vector<std::pair<std::string, std::string>>& StatusTexts() {
    static const std::vector<std::pair<std::string, std::string>> texts = [] {
        std::vector<std::pair<std::string, std::string>> t = {
            {"EĞRİ KAĞIDI", "CURVE"}, {"AYARLAR", "SETTINGS"}, {"KALİBRASYON", "CALIBRATION"},
            {"GENEL AYARLAR", "GENERAL SETTINGS"}, {"HATALAR", "ERRORS"},
            {"PORTA BAĞLANMAYA CALIŞIYOR : COM12", "TRIYING TO CONNECT : COM12"},
            {"BAĞLANDI : COM12", "CONNECTED : COM12"},
            {"PORT KAYDEDİLEMEDİ ! BAĞLANDI : COM12", "PORT NOT REMEMBERED ! CONNECTED : COM12"},
            {"ECU YENİDEN YANIT VERİYOR : COM12 — FABRİKA AYARLARI YÜKLENEMEDİ",
             "ECU RESPONDING AGAIN : COM12 — FACTORY SETTINGS LOAD DID NOT COMPLETE"},
            {"KAYITTAKİ EĞRİ EDİTÖRE ALINDI : 2026-12-09 23:01:02 Yazmadan önceki EKÜ eğrisi, 34 ABC 123 Astra",
             "THE RECORD'S CURVE IS IN THE EDITOR : 2026-12-09 23:01:02 ECU curve before a write, 34 ABC 123 Astra"},
            {"2000, 3000, 4000, 5000, 6000 rpm EĞRİLERİ DE İTİLDİ (EĞRİLER KESİŞEMEZ)",
             "BANDS 2000, 3000, 4000, 5000, 6000 rpm PUSHED ALONG (THE BANDS MAY NOT CROSS)"},
            {"HERHANGİ BİR İLETİŞİM PORTUNA BAĞLANILAMADI .... !  COM1 - COM15",
             "NO CONNECTION TO ANY PORT .... !  COM1 - COM15"},
            {"BAĞLANTI KOPTU, EĞRİ YAZMA TAMAMLANMADI ! /dev/ttyUSB0",
             "CONNECTION LOST, CURVE WRITE DID NOT COMPLETE ! /dev/ttyUSB0"},
            {"ECU YANIT VERMİYOR ! ", "ECU NOT RESPONDING ! "},
            {"FABRİKA AYARLARI YÜKLENEMEDİ : ECU YANIT VERMİYOR ! ",
             "FACTORY SETTINGS LOAD DID NOT COMPLETE : ECU NOT RESPONDING ! "},
            {"ECU İLE İLETİŞİM SÜRÜYOR, BEKLEYİNİZ ! ", "ECU EXCHANGE RUNNING, PLEASE WAIT ! "},
            {"EĞRİ EKÜ'YE YAZILIYOR ... ", "WRITING THE CURVE TO THE ECU ... "},
            {"EĞRİ YAZILDI, KONTROL EDİLMEDİ ! ", "CURVE WRITTEN, NOT CHECKED ! "},
            {"GEÇERSİZ DEĞER ! EN AZ BASINÇ : 0,40 - 1,80 bar", "INVALID VALUE ! MIN PRESSURE : 0,40 - 1,80 bar"},
            {"EKÜ AYARI KABUL ETMEDİ : GAZA GEÇİŞ SICAKLIĞI", "THE ECU DID NOT TAKE THE SETTING : SWITCH TEMPERATURE"},
            {"EĞRİDE DOSYANIN TUTAMAYACAĞI DEĞER VAR (-32768..32767) ! ",
             "THE CURVE HOLDS A VALUE NO CURVE FILE CAN KEEP (-32768..32767) ! "},
            {"Cur_00.txt HER AÇILIŞTA YENİDEN YAZILIR, BAŞKA BİR İSİM SEÇİNİZ ! ",
             "Cur_00.txt IS REWRITTEN AT EVERY START, CHOOSE ANOTHER NAME ! "},
            {"DOSYA HATALI ! :" + kPath, "INCORRECT FILE ! :" + kPath},
            {"HATASIZ DOSYA  " + kPath + " — EĞRİ KAYDEDİLDİ", "FILE NO ERRORS " + kPath + " — CURVE SAVED"},
            {"HATA YOK ! — EĞRİ YAZILDI VE GERİ OKUNDU", "NO ERRORS ! — CURVE WRITTEN AND READ BACK"},
            {"BU İSİMDE BİR KLASÖR VAR, DOSYA YAZILAMADI ! " + kPath, "A FOLDER HAS THIS NAME, FILE NOT WRITTEN ! " + kPath},
            {"BU İSİM BİR DOSYA DEĞİL, YAZILMADI ! " + kPath, "THIS NAME IS NOT A PLAIN FILE, NOT WRITTEN ! " + kPath},
            {"KAYIT : 2026-12-09_08-15-42.csv  12345 SATIR", "RECORDING : 2026-12-09_08-15-42.csv  12345 ROWS"},
            {"KAYIT DURDU, DOSYAYA YAZILAMIYOR : " + kLog + "  12345 SATIR KORUNDU",
             "RECORDING STOPPED, CANNOT WRITE FILE : " + kLog + "  12345 ROWS KEPT"},
            {"KAYIT GEÇİCİ ADIYLA KALDI : " + kLog + ".part  12345 SATIR",
             "LOG LEFT UNDER ITS TEMPORARY NAME : " + kLog + ".part  12345 ROWS"},
            {"DİL SEÇİMİ KAYDEDİLEMEDİ ! YAZMA İZNİ YOK, DOSYA YAZILAMADI ! /opt/gasecu/Dilsecim",
             "THE LANGUAGE CHOICE COULD NOT BE SAVED ! NO PERMISSION TO WRITE, FILE NOT WRITTEN ! /opt/gasecu/Dilsecim"},
            {"DEVİR DEGİŞSE DAHİ PEDAL POZİZYONUNU DEGİŞTİRMEYİN !",
             "KEEP THE GAS PEDAL IN THE SAME POSITION EVEN THERE IS DIFFERENCE IN RPM !"},
            {"ORJ.DAT YÜKLENEMEDİ ! DEVİR DEGİŞSE DAHİ PEDAL POZİZYONUNU DEGİŞTİRMEYİN !",
             "ORJ.DAT ERROR WHILE INSTALLATION ! KEEP THE GAS PEDAL IN THE SAME POSITION EVEN THERE IS DIFFERENCE IN RPM !"},
            {" DEVİR HATASI KALİBRASYON DURDURULDU ! DEVİR= 1850 devir/dakika ! ( < 2000 d/d )",
             " DUE TO RPM ERROR CALIBRATION STOPPED ! rpm= 1850 rpm ! ( < 2000 d/d )"},
            {" BASINC HATASI KALİBRASYON DURDURULDU ! BASINÇ= 0,62 bar !  ( < 0.8 bar )",
             " PRESSURE ERROR CALIBRATON STOPPED ! Pressure= 0,62 bar !  ( < 0.8 bar )"},
            {" ENJEKSİYON SÜRESİ 0 ms ! KALİBRASYON DURDURULDU ! BENZİN= 0,00 ms GAZ= 3,25 ms",
             " INJECTION TIME 0 ms ! CALIBRATION STOPPED ! Petrol= 0,00 ms Gas= 3,25 ms"},
        };
        // The longest of all: a calibration stopped by the reducer's temperature
        // whose references could not all be written back.
        const std::string tr = "REGULATÖR ISI HATASI KALİBRASYON DURDURULDU ! REDUCER SICAKLIĞI= 24,5 Santigrat derece ! "
                               "( < 30 Santigrat )";
        const std::string en = "REDUCER TEMPERATURE ERROR CALIBRATON STOPPED ! REDUCER TEMPERATURE= 24,5 Celcius ! "
                               "( < 30 Celcius )";
        t.push_back({tr, en});
        t.push_back({tr + " ECU'YE YAZILAMAYAN REFERANS: 3, 4, 5 !", en + " REFERENCE NOT WRITTEN TO ECU: 3, 4, 5 !"});
        return t;
    }();
    return texts;
}

// How many characters of each end a shortened text keeps at least: enough for
// "KALİBRASYON DURD" and for a file name with its folder.
constexpr int kEndCharacters = 16;

TEST(WindowMessages, EveryStatusTextShowsWholeOrWithBothEnds) {
    test::WindowFixture f;
    f.window().resize(1024, 768);
    f.window().show();
    auto* line = dynamic_cast<qt::StatusLine*>(f.window().widgetFor("KomutSatırı"));
    ASSERT_NE(line, nullptr);
    int shortened = 0;
    for (int language : {0, 1}) {
        for (const auto& [turkish, english] : StatusTexts()) {
            const std::string text = language ? english : turkish;
            f.form().LanguageIndex = language;
            f.window().runHandler([&] { f.form().ShowMessage(turkish, english); });
            ASSERT_EQ(f.form().KomutSatırı.text, text);
            const QString whole = QString::fromStdString(text);
            EXPECT_EQ(line->text(), whole);  // the box holds the whole text, to copy
            EXPECT_EQ(line->toolTip(), whole);
            const QString shown = line->shownText();
            EXPECT_LE(line->fontMetrics().horizontalAdvance(shown), line->width()) << text;
            if (shown == whole) continue;
            ++shortened;
            const qsizetype cut = shown.indexOf(QChar(0x2026));
            ASSERT_GE(cut, 0) << text << " shown as " << shown.toStdString();
            const QString head = shown.left(cut), tail = shown.mid(cut + 1);
            EXPECT_TRUE(whole.startsWith(head)) << text;
            EXPECT_TRUE(whole.endsWith(tail)) << text;
            EXPECT_GE(head.trimmed().size(), kEndCharacters) << text << " shown as " << shown.toStdString();
            EXPECT_GE(tail.trimmed().size(), kEndCharacters) << text << " shown as " << shown.toStdString();
        }
        f.window().grab().save(QString::fromStdString(
            curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / (std::string("window-1024x768-status-") +
                                                                 (language ? "en" : "tr") + ".png"))));
    }
    EXPECT_GT(shortened, 0);  // the table reaches past the box at this size
}

struct ChosenFile : FileDialogs {
    std::string path;
    std::string showOpen(const FileDialogControl&) override { return {}; }
    std::string showSave(const FileDialogControl&) override { return path; }
};

TEST(WindowMessages, TheMessagesWindowListsMarksAndSavesTheSession) {
    test::WindowFixture f;
    f.window().resize(1024, 768);
    f.window().show();
    qt::MessagesWindow* messages = f.window().messagesWindow();
    ASSERT_NE(messages, nullptr);
    EXPECT_FALSE(messages->isVisible());
    f.widget<QPushButton>("MesajlarButon")->click();
    ASSERT_TRUE(messages->isVisible());
    EXPECT_EQ(messages->windowTitle(), "Mesajlar");

    f.window().runHandler([&] { f.form().ShowMessage("BAĞLANDI : COM3", "CONNECTED : COM3"); });
    f.window().runHandler([&] { f.form().ShowMessage("ECU YANIT VERMİYOR ! ", "ECU NOT RESPONDING ! "); });
    f.window().runHandler([&] { f.form().ShowMessage("HATA YOK ! ", "NO ERRORS ! "); });
    QListWidget* list = messages->list();
    ASSERT_GE(list->count(), 4);  // the banner first
    const int n = list->count();
    EXPECT_TRUE(list->item(0)->text().contains("gasecu "));
    // "hh:mm:ss", then the sign of a fault or blanks, then the text; newest last.
    const QRegularExpression row("^\\d\\d:\\d\\d:\\d\\d(  !! |     )(.*)$");
    struct Expected {
        const char* text;
        bool fault;
    } const expected[] = {{"BAĞLANDI : COM3", false}, {"ECU YANIT VERMİYOR ! ", true}, {"HATA YOK ! ", false}};
    for (int k = 0; k < 3; ++k) {
        const QListWidgetItem* item = list->item(n - 3 + k);
        const auto match = row.match(item->text());
        ASSERT_TRUE(match.hasMatch()) << item->text().toStdString();
        EXPECT_EQ(match.captured(2).toStdString(), expected[k].text);
        EXPECT_EQ(match.captured(1) == "  !! ", expected[k].fault) << expected[k].text;
        EXPECT_EQ(item->foreground().color() == QColor(190, 0, 0), expected[k].fault) << expected[k].text;
    }
    // Selected rows copy as shown.
    list->item(n - 2)->setSelected(true);
    list->item(n - 1)->setSelected(true);
    EXPECT_EQ(messages->selectedText(), list->item(n - 2)->text() + "\n" + list->item(n - 1)->text());

    // Saved through the safe writer: the whole list, CR LF lines.
    ChosenFile chosen;
    const std::filesystem::path file = f.dir.path() / "mesajlar.txt";
    chosen.path = curve::Utf8FromPath(file);
    f.form().env.fileDialogs = &chosen;
    messages->save();
    std::ifstream in(file, std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_EQ(saved.str(), StatusHistoryFileText(f.form().Messages.entries()));
    EXPECT_NE(saved.str().find("  !! ECU YANIT VERMİYOR ! \r\n"), std::string::npos);
    EXPECT_EQ(messages->outcome()->text().toStdString(), "KAYDEDİLDİ : " + chosen.path);
    // A folder that is not there: told, nothing written.
    const std::filesystem::path missing = f.dir.path() / "yok" / "mesajlar.txt";
    chosen.path = curve::Utf8FromPath(missing);
    messages->save();
    EXPECT_EQ(messages->outcome()->text().toStdString(), "KLASÖR YOK, DOSYA YAZILAMADI ! " + chosen.path);
    EXPECT_FALSE(std::filesystem::exists(missing));
    f.form().env.fileDialogs = nullptr;

    // English captions; the button closes it again.
    f.form().LanguageIndex = 1;
    f.window().runHandler([&] { f.form().ShowMessage("", "SETTINGS"); });
    EXPECT_EQ(messages->windowTitle(), "Messages");
    EXPECT_EQ(f.widget<QPushButton>("MesajlarButon")->text(), "Messages");
    EXPECT_EQ(list->item(list->count() - 1)->text().mid(13), "SETTINGS");
    messages->grab().save(QString::fromStdString(
        curve::Utf8FromPath(std::filesystem::path(GASECU_BIN).parent_path() / "window-messages-en.png")));
    f.widget<QPushButton>("MesajlarButon")->click();
    EXPECT_FALSE(messages->isVisible());
}

}  // namespace
}  // namespace gasecu
