// The label printed after each unit from the selected sequence's label script:
// read at the selection, printed as one raw job of the unit's data, text and
// raw printer characters, on the station brought up on the jig.
#include "platform/os/TextFile.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Printer.h"
#include "station/modMSub.h"
#include "tests/support/MainWindowRig.h"
#include <QFile>

namespace {
class LabelPrinting : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        demostation::build(home());
        addOperator(QStringLiteral("Alice"));
        seed::add(seed::Sequence{.name = QStringLiteral("Bookshelf"), .tests = {demostation::kPolarityTest},
                                 .serial = 7, .script = homeFile(QStringLiteral("bookshelf.lbl"))});
        seed::add(seed::Sequence{.name = QStringLiteral("Plain"), .tests = {demostation::kPolarityTest}});
        installJig();
        Printer.setRecording(true);
    }
    void TearDown() override {
        endOfScript();
        Printer.setRecording(false);
        qunsetenv("VEXO_PRINT_TO");
        MainWindowRig::TearDown();
    }
    void writeScript(const QStringList& iLines) {
        QFile file(homeFile(QStringLiteral("bookshelf.lbl")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(iLines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    }
    // The operator's choices, as made at the start of a shift.
    frmVexo& startOn(const QString& iSequence) {
        frmVexo& f = start();
        choose(f.dcboOperator, QStringLiteral("Alice"));
        choose(f.dcboSeq, iSequence);
        clearBoxes();
        return f;
    }
    // One unit's label as the after-unit step prints it.
    void printLabel() {
        bool bError = false;
        gMSubProcessScript(bError);
    }
    // The error messages shown, by the routine and step they name.
    QStringList errors() const {
        QStringList out;
        for (const MsgBoxCall& box : boxes())
            if (box.title == QLatin1String("Error!")) out << box.prompt;
        return out;
    }
    // The raw label jobs and their bytes.
    static QList<QByteArray> labels() {
        QList<QByteArray> out;
        for (const RawPrintJob& job : Printer.rawJobs()) out << job.bytes;
        return out;
    }
};

const QStringList kGolden = {
    QStringLiteral(".Bookshelf pair label"),
    QStringLiteral(".serial and partner on the first line"),
    QStringLiteral("Serial: "),
    QStringLiteral("..SERIAL"),
    QStringLiteral("..CR"),
    QStringLiteral("..SPACE3"),
    QStringLiteral("..PARTNER"),
    QStringLiteral("..DATE dd mmm"),
    QStringLiteral("..TIME"),
    QStringLiteral("..ID"),
    QStringLiteral("..MODEL"),
    QStringLiteral("..OPERATOR"),
    QStringLiteral("..@27 64 "),
    QStringLiteral("..LPT1"),
    QStringLiteral("..lpt1"),
    QStringLiteral("..FOO"),
    QStringLiteral("..PLOT"),
    QStringLiteral("..."),
};

TEST_F(LabelPrinting, TheGoldenScriptPrintsOneJobWithTheUnitsData) {
    setNow(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)));
    writeScript(kGolden);
    frmVexo& f = startOn(QStringLiteral("Bookshelf"));
    const QByteArray id = f.lblCard->Caption().left(4).toLatin1();

    const int beeps = beepCount();
    printLabel();
    ASSERT_EQ(labels().size(), 1);
    EXPECT_EQ(labels().at(0), "Serial: 7\r\n   806 Dec09:05" + id + "BookshelfAlice\x1b@.");
    EXPECT_EQ(Printer.rawJobs().at(0).title, "Vexo");
    // One beep per entry (sixteen) and one for PLOT.
    EXPECT_EQ(beepCount() - beeps, 17);
    EXPECT_TRUE(boxes().isEmpty());

    // The next unit prints the list as read; the file is read again only at the next selection.
    writeScript({QStringLiteral("Model: "), QStringLiteral("..MODEL")});
    printLabel();
    ASSERT_EQ(labels().size(), 2);
    EXPECT_EQ(labels().at(1), labels().at(0));
    choose(f.dcboSeq, QStringLiteral("Plain"));
    choose(f.dcboSeq, QStringLiteral("Bookshelf"));
    printLabel();
    EXPECT_EQ(labels().last(), "Model: Bookshelf");
}

TEST_F(LabelPrinting, TheGoldenScriptInGerman) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    setNow(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)));
    QStringList script = kGolden;
    script.insert(3, QStringLiteral("..DATE"));
    writeScript(script);
    frmVexo& f = startOn(QStringLiteral("Bookshelf"));
    const QByteArray id = f.lblCard->Caption().left(4).toLatin1();
    printLabel();
    ASSERT_EQ(labels().size(), 1);
    const QByteArray month = QLocale(QLocale::German).monthName(12, QLocale::ShortFormat).toLatin1();
    EXPECT_EQ(labels().at(0), "Serial: 6 Dezember 20267\r\n   806 " + month + "09:05" + id + "BookshelfAlice\x1b@.");
}

TEST_F(LabelPrinting, RawCharactersNeedTheirTrailingBlank) {
    writeScript({QStringLiteral("|"), QStringLiteral("..@65 66 67"), QStringLiteral("|"), QStringLiteral("..@65 66 67 "),
                 QStringLiteral("|"), QStringLiteral("..@65  66 "), QStringLiteral("|"), QStringLiteral("..@65 32 "),
                 QStringLiteral("|"), QStringLiteral("..@32 65 "), QStringLiteral("|"), QStringLiteral("..@0 200 255 ")});
    startOn(QStringLiteral("Bookshelf"));
    printLabel();
    ASSERT_EQ(labels().size(), 1);
    EXPECT_EQ(labels().at(0), QByteArray("|AB|ABC|A|A| A|\x00\xC8\xFF", 18));
}

TEST_F(LabelPrinting, ARawCodeAbove255MakesTheScriptNoScript) {
    allowErrors({QStringLiteral("Source: frmVexo.mbScriptListRead.40")});
    writeScript({QStringLiteral("Model "), QStringLiteral("..MODEL"), QStringLiteral("..@300 "),
                 QStringLiteral("..@72 73 ")});
    frmVexo& f = start();
    choose(f.dcboSeq, QStringLiteral("Bookshelf"));
    // The refusal is shown once, at the selection.
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().at(0).contains(QStringLiteral("mbScriptListRead")));
    clearBoxes();

    const int beeps = beepCount();
    printLabel();
    EXPECT_TRUE(labels().isEmpty());
    EXPECT_EQ(beepCount(), beeps);
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(LabelPrinting, AnErrorMidScriptEndsTheLabelThere) {
    allowErrors({QStringLiteral("Source: modMSub.msProcessScriptNotControlCode.10")});
    writeScript({QStringLiteral("Before"), QStringLiteral("..CR"), QStringLiteral("..SPACEX"), QStringLiteral("After"),
                 QStringLiteral("..CR")});
    startOn(QStringLiteral("Bookshelf"));
    const int beeps = beepCount();
    printLabel();
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().at(0).contains(QStringLiteral("msProcessScriptNotControlCode")));
    ASSERT_EQ(labels().size(), 1);
    EXPECT_EQ(labels().at(0), "Before\r\n");
    EXPECT_EQ(beepCount() - beeps, 2);
}

TEST_F(LabelPrinting, CountsWithoutANumber) {
    writeScript({QStringLiteral("A"), QStringLiteral("..CR0"), QStringLiteral("B"), QStringLiteral("..CR"),
                 QStringLiteral("C"), QStringLiteral("..CR-1"), QStringLiteral("D"), QStringLiteral("..SPACE"),
                 QStringLiteral("..SPACE0"), QStringLiteral("..SPACE300"), QStringLiteral("E"), QStringLiteral("..space2"),
                 QStringLiteral("F")});
    startOn(QStringLiteral("Bookshelf"));
    printLabel();
    ASSERT_EQ(labels().size(), 1);
    EXPECT_EQ(labels().at(0), "A\r\nB\r\nCDE  F");
    EXPECT_TRUE(boxes().isEmpty());
}

// Labels printed to a file, on a full disk: the last label there stays whole,
// and the box names the file and the cause.
TEST_F(LabelPrinting, ALabelPrintedToAFileOnAFullDiskKeepsTheLastOneAndSaysWhy) {
    const QString raw = homeFile(QStringLiteral("printed.raw"));
    allowErrors({QStringLiteral("Printer error: ") + raw + QStringLiteral(": File too large")});
    writeHomeFile(QStringLiteral("printed.raw"), "Serial: 6\r\nBookshelf");
    Printer.setRecording(false);
    qputenv("VEXO_PRINT_TO", homeFile(QStringLiteral("printed.pdf")).toLocal8Bit());
    writeScript(
        {QStringLiteral("Serial: "), QStringLiteral("..SERIAL"), QStringLiteral("..CR"), QStringLiteral("..MODEL")});
    startOn(QStringLiteral("Bookshelf"));
    {
        FileSizeLimit disk(12);
        printLabel();
    }
    ASSERT_EQ(errors().size(), 1);
    EXPECT_EQ(errors().at(0), QStringLiteral("Source: modMSub.gMSubProcessScript.30\r\n\r\nPrinter error: ") + raw +
                                  QStringLiteral(": File too large"));
    EXPECT_EQ(readHomeFile(QStringLiteral("printed.raw")), "Serial: 6\r\nBookshelf");
    EXPECT_EQ(filesStartingWith(home(), QStringLiteral(".printed")), QStringList());

    // With room the next unit's label takes its place.
    clearBoxes();
    printLabel();
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(readHomeFile(QStringLiteral("printed.raw")), "Serial: 7\r\nBookshelf");
}

TEST_F(LabelPrinting, NoScriptNoLabel) {
    // A sequence without a script, and one whose script file is missing or blank.
    startOn(QStringLiteral("Plain"));
    const int beeps = beepCount();
    printLabel();
    EXPECT_TRUE(labels().isEmpty());
    EXPECT_EQ(beepCount(), beeps);

    writeScript({QStringLiteral(".only a title"), QStringLiteral(".and a comment")});
    choose(form<frmVexo>().dcboSeq, QStringLiteral("Bookshelf"));
    printLabel();
    EXPECT_TRUE(labels().isEmpty());
    EXPECT_EQ(beepCount(), beeps);

    // A first line beginning with a dot is the title, even a control line;
    // blank lines are dropped; LPT codes and unknown codes print nothing but beep.
    writeScript({QStringLiteral("..SERIAL"), QStringLiteral("..LPT1"), QString(), QStringLiteral("..FOO")});
    choose(form<frmVexo>().dcboSeq, QStringLiteral("Plain"));
    choose(form<frmVexo>().dcboSeq, QStringLiteral("Bookshelf"));
    printLabel();
    EXPECT_TRUE(labels().isEmpty());
    EXPECT_EQ(beepCount() - beeps, 2);
}
}   // namespace
