// mokopera-sim: its command line, its CSV and SVG, reproducibility and the statistics.

#include <QtTest>

#include <QDir>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <csignal>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "sim/batch.h"
#include "sim/report.h"
#include "sim/simulator.h"

using namespace mokopera::sim;

namespace {

struct Outcome {
    int status;
    QString out, err;
};

Outcome Run(const QStringList& arguments, std::uint64_t clockSeed = 4242)
{
    std::vector<std::string> args;
    for (const QString& argument : arguments)
        args.push_back(argument.toStdString());
    std::ostringstream out, err;
    const int status = RunSimulator(args, out, err, [=] { return clockSeed; });
    return {status, QString::fromStdString(out.str()), QString::fromStdString(err.str())};
}

// Reads an SVG document; the number of elements of each name.
QMap<QString, int> ParseSvg(const QByteArray& svg, QString* error)
{
    QMap<QString, int> counts;
    QXmlStreamReader reader(svg);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement)
            ++counts[reader.name().toString()];
    if (reader.hasError())
        *error = reader.errorString();
    return counts;
}

// "-rw-r-----" and the like, as ls shows a file's type and permissions.
QString Permissions(mode_t mode)
{
    QString text = S_ISLNK(mode) ? "l" : S_ISDIR(mode) ? "d" : S_ISFIFO(mode) ? "p" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400 >> bit)) ? QChar(letters[bit]) : QChar('-');
    return text;
}

}  // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void arguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("defaults") << QStringList{"-e", "50"} << 0;
        QTest::newRow("one N") << QStringList{"-n", "5", "-e", "10"} << 0;
        QTest::newRow("a range") << QStringList{"-n", "5..50", "-e", "10"} << 0;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("N below 5") << QStringList{"-n", "4"} << 2;
        QTest::newRow("N above 50") << QStringList{"-n", "51"} << 2;
        QTest::newRow("backward range") << QStringList{"-n", "50..5"} << 2;
        QTest::newRow("range past 50") << QStringList{"-n", "5..60"} << 2;
        QTest::newRow("N not a number") << QStringList{"-n", "twenty"} << 2;
        QTest::newRow("N with a fraction") << QStringList{"-n", "7.5"} << 2;
        QTest::newRow("negative experiments") << QStringList{"-e", "-5"} << 2;
        QTest::newRow("no experiments") << QStringList{"-e", "0"} << 2;
        QTest::newRow("absurd experiments") << QStringList{"-e", "99999999999"} << 2;
        QTest::newRow("experiments beyond 64 bits") << QStringList{"-e", "999999999999999999999999"} << 2;
        QTest::newRow("negative seed") << QStringList{"--seed", "-1"} << 2;
        QTest::newRow("missing value") << QStringList{"-n"} << 2;
        QTest::newRow("unknown option") << QStringList{"--fast"} << 2;
        QTest::newRow("empty plot name") << QStringList{"--plot", ""} << 2;
        QTest::newRow("an option as the plot's name") << QStringList{"--plot", "--csv"} << 2;
        QTest::newRow("an option as a number") << QStringList{"-e", "--seed", "5"} << 2;
    }

    void arguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        const Outcome outcome = Run(arguments);
        QCOMPARE(outcome.status, status);
        if (status == 2) {
            QVERIFY(outcome.out.isEmpty());
            QVERIFY2(outcome.err.startsWith("mokopera-sim: ") && outcome.err.count('\n') >= 2, qPrintable(outcome.err));
        }
    }

    void helpIsInBothLanguages()
    {
        const Outcome outcome = Run({"--help"});
        QVERIFY(outcome.out.contains("使い方") && outcome.out.contains("Usage"));
    }

    void timeSeedIsPrintedAndRepeatable()
    {
        const Outcome first = Run({"-e", "300"}, 777);
        QVERIFY(first.out.contains("seed: 777"));
        QCOMPARE(Run({"-e", "300", "--seed", "777"}).out, first.out);
        QVERIFY(Run({"-e", "300", "--seed", "778"}).out != first.out);
    }

    void csvIsRfc4180()
    {
        const Outcome outcome = Run({"-n", "5..9", "-e", "200", "--seed", "1", "--csv"});
        QCOMPARE(outcome.status, 0);
        QVERIFY(outcome.err.contains("seed: 1"));
        QVERIFY(outcome.out.endsWith("\r\n"));
        const QStringList lines = outcome.out.chopped(2).split("\r\n");
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QString("shots_per_experiment,experiments,successes,experimental_probability,"
                                   "theoretical_probability,difference_in_standard_errors"));
        for (int i = 1; i < lines.size(); ++i) {
            const QStringList fields = lines[i].split(',');
            QCOMPARE(fields.size(), 6);
            QCOMPARE(fields[0].toInt(), 4 + i);
            QCOMPARE(fields[1].toInt(), 200);
            bool ok = false;
            const double experimental = fields[3].toDouble(&ok);
            QVERIFY(ok);
            QCOMPARE(experimental, fields[2].toDouble() / 200);
            QCOMPARE(fields[3].size(), 9);  // "0.0000000"
        }
        QCOMPARE(lines[1].section(',', 4, 4), QString("0.4095100"));
    }

    void plotsAreWellFormedSvg_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("element");
        QTest::addColumn<int>("count");
        QTest::newRow("convergence for one N") << QStringList{"-n", "20", "-e", "5000"} << "polyline" << 1;
        QTest::newRow("every N of a range") << QStringList{"-n", "5..50", "-e", "100"} << "circle" << 47;
    }

    void plotsAreWellFormedSvg()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, element);
        QFETCH(int, count);
        QTemporaryDir dir;
        const QString path = dir.filePath("plot.svg");
        QCOMPARE(Run(arguments + QStringList{"--seed", "5", "--plot", path}).status, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString error;
        const auto elements = ParseSvg(file.readAll(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(elements.value("svg"), 1);
        QCOMPARE(elements.value(element), count);  // a range adds the legend's dot
        QVERIFY(elements.value("text") > 10);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plot.svg"});
    }

    // What may stand at the plot's name: only a regular file is replaced, keeping its mode; a new
    // file gets the mode the umask allows; a refusal leaves everything as it was, and no
    // temporary file is ever left behind.
    void plotTargets_data()
    {
        QTest::addColumn<QString>("target");  // what stands at plot.svg before the run
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("after");   // the type and permissions (as ls shows them) after it
        QTest::newRow("nothing: a new file as the umask 027 allows") << "none" << 0 << "-rw-r-----";
        QTest::newRow("a file keeps its mode") << "file 0604" << 0 << "-rw----r--";
        QTest::newRow("a FIFO is left alone") << "fifo" << 2 << "prw-------";
        QTest::newRow("a symbolic link is left alone") << "link" << 2 << "lrwxrwxrwx";
        QTest::newRow("a folder is left alone") << "folder" << 2 << "drwx------";
        QTest::newRow("a missing folder on the way") << "missing folder" << 2 << "";
        QTest::newRow("a name as long as the file system allows") << "long name" << 0 << "-rw-r-----";
    }

    void plotTargets()
    {
        QFETCH(QString, target);
        QFETCH(int, status);
        QFETCH(QString, after);
        QTemporaryDir dir;
        QString path = dir.filePath("plot.svg");
        const QByteArray pathBytes = path.toLocal8Bit();
        if (target.startsWith("file")) {
            QFile(path).open(QIODevice::WriteOnly);
            chmod(pathBytes.constData(), 0604);
        } else if (target == "fifo") {
            QCOMPARE(mkfifo(pathBytes.constData(), 0600), 0);
        } else if (target == "link") {
            QFile(dir.filePath("elsewhere.svg")).open(QIODevice::WriteOnly);
            QVERIFY(QFile::link(dir.filePath("elsewhere.svg"), path));
        } else if (target == "folder") {
            QVERIFY(QDir(dir.path()).mkdir("plot.svg"));
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else if (target == "missing folder") {
            path = dir.filePath("no/such/folder/plot.svg");
        } else if (target == "long name") {
            path = dir.filePath(QString(251, 'a') + ".svg");
        }
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        const mode_t mask = umask(027);
        const Outcome outcome = Run({"-e", "10", "--plot", path});
        umask(mask);

        QCOMPARE(outcome.status, status);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 status == 0 ? QStringList{QFileInfo(path).fileName()} + before.filter("elsewhere") : before);
        if (status == 2) {
            QVERIFY(outcome.out.isEmpty());
            QVERIFY2(outcome.err.count('\n') >= 2, qPrintable(outcome.err));
        }
        if (!after.isEmpty()) {
            struct stat info {};
            QCOMPARE(lstat(QFile::encodeName(path).constData(), &info), 0);
            QCOMPARE(Permissions(info.st_mode), after);
        }
    }

    // The real program: an output it cannot write, and an interrupt while it works.
    void unwritableStandardOutput_data()
    {
        QTest::addColumn<QString>("output");
        QTest::newRow("a full disk") << "/dev/full";
        QTest::newRow("closed") << "closed";
    }

    void unwritableStandardOutput()
    {
        QFETCH(QString, output);
        QProcess sim;
        if (output == "closed")
            sim.setChildProcessModifier([] { close(STDOUT_FILENO); });
        else
            sim.setStandardOutputFile(output);
        sim.start(MOKOPERA_SIM, {"-e", "10", "--csv"});
        QVERIFY(sim.waitForFinished());
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("cannot write to the standard output"));
    }

    void interruptCleansUp()
    {
        QTemporaryDir dir;
        QProcess sim;
        sim.setStandardOutputFile(QProcess::nullDevice());
        sim.start(MOKOPERA_SIM, {"-n", "5..50", "-e", "5000000", "--plot", dir.filePath("plot.svg")});
        QVERIFY(sim.waitForStarted());
        QTest::qWait(1500);  // long enough for the progress line
        kill(pid_t(sim.processId()), SIGINT);
        QVERIFY(sim.waitForFinished());
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 130);
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
        const QByteArray messages = sim.readAllStandardError();
        QVERIFY2(messages.contains("progress") && messages.endsWith("\n"), messages.constData());
    }

    void checkpointsSpreadOverALogScale()
    {
        const auto points = LogCheckpoints(1'000'000, 400);
        QCOMPARE(points.front(), 1LL);
        QCOMPARE(points.back(), 1'000'000LL);
        QVERIFY(std::adjacent_find(points.begin(), points.end(), std::greater_equal<>()) == points.end());
        QVERIFY(points.size() > 300);
        QCOMPARE(LogCheckpoints(1, 400), std::vector<long long>{1});
    }

    // The running counts agree with the total, and a large run sits within a few standard
    // errors of the theory.
    void statistics_data()
    {
        QTest::addColumn<int>("shots");
        QTest::newRow("N = 5") << 5;
        QTest::newRow("N = 20") << 20;
        QTest::newRow("N = 50") << 50;
    }

    void statistics()
    {
        QFETCH(int, shots);
        const auto checkpoints = LogCheckpoints(200'000, 50);
        const BatchResult batch = RunBatch(shots, 200'000, 31, checkpoints);
        QCOMPARE(batch.running.size(), checkpoints.size());
        QCOMPARE(batch.running.back().successes, batch.successes);
        for (std::size_t i = 1; i < batch.running.size(); ++i)
            QVERIFY(batch.running[i].successes >= batch.running[i - 1].successes);
        const Row row = MakeRow(batch);
        QVERIFY2(std::fabs(row.standardErrors) < 4.5, qPrintable(QString::number(row.standardErrors)));
    }
};

QTEST_APPLESS_MAIN(TestSim)
#include "test_sim.moc"
