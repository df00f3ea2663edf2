// Cues played through the real sound layer into a real PulseAudio server whose only output is a
// pipe: the test reads what arrives there and counts the bursts of sound. Every cue must arrive
// at full length, a cue that cuts off the one before must still sound, and after the sound
// server is restarted the cues must come back.

#include <QtTest>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include "core/texts.h"
#include "sound/mm_control.h"
#include "sound/qt_media_device.h"
#include "sound_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

namespace {

constexpr int kRate = 8000;  // the pipe sink's rate: 16-bit mono samples

// A private PulseAudio server writing everything it plays to a FIFO in real time.
class SoundServer {
public:
    explicit SoundServer(const QString& folder) : folder_(folder) {}
    ~SoundServer() { Stop(); }

    QString Socket() const { return folder_ + "/native"; }
    QString Fifo() const { return folder_ + "/sink.fifo"; }

    bool Start()
    {
        QDir().mkpath(folder_ + "/run");
        QDir().mkpath(folder_ + "/home");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", folder_ + "/run");
        environment.insert("HOME", folder_ + "/home");
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStandardPaths::findExecutable("pulseaudio"),
                       {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--log-level=error",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + Socket(),
                        QString("--load=module-pipe-sink sink_name=recorder file=%1 format=s16le rate=%2 channels=1 "
                                "use_system_clock_for_timing=yes")
                            .arg(Fifo())
                            .arg(kRate)});
        return process_.waitForStarted() && QTest::qWaitFor([&] { return QFile::exists(Socket()); }, 10000);
    }

    void Stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished();
        QFile::remove(Socket());
    }

private:
    QString folder_;
    QProcess process_;
};

// Reads the sink's FIFO on a thread of its own for as long as it lives, across server restarts.
class Recorder {
public:
    explicit Recorder(const QString& fifo) : fifo_(fifo.toStdString())
    {
        thread_ = std::thread([this] { Run(); });
    }
    ~Recorder()
    {
        stop_ = true;
        thread_.join();
    }
    std::size_t Size()
    {
        std::lock_guard lock(mutex_);
        return samples_.size();
    }
    std::vector<std::int16_t> From(std::size_t first)
    {
        std::lock_guard lock(mutex_);
        return {samples_.begin() + static_cast<std::ptrdiff_t>(std::min(first, samples_.size())), samples_.end()};
    }

private:
    void Run()
    {
        int descriptor = -1;
        std::vector<char> pending;
        while (!stop_) {
            if (descriptor < 0 && (descriptor = open(fifo_.c_str(), O_RDONLY | O_NONBLOCK)) < 0) {
                usleep(10000);
                continue;
            }
            pollfd wait{descriptor, POLLIN, 0};
            poll(&wait, 1, 20);
            char buffer[4096];
            const ssize_t got = read(descriptor, buffer, sizeof buffer);
            if (got == 0) {  // the server is gone: its successor makes a new FIFO
                close(descriptor);
                descriptor = -1;
                continue;
            }
            if (got < 0) {
                usleep(5000);
                continue;
            }
            pending.insert(pending.end(), buffer, buffer + got);
            std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i + 1 < pending.size(); i += 2)
                samples_.push_back(static_cast<std::int16_t>(std::uint8_t(pending[i]) | std::uint8_t(pending[i + 1]) << 8));
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(pending.size() / 2 * 2));
        }
        if (descriptor >= 0)
            close(descriptor);
    }

    std::string fifo_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::int16_t> samples_;
    std::thread thread_;
};

// The lengths in seconds of the stretches of sound, each ended by at least 150 ms of quiet.
QList<double> Bursts(const std::vector<std::int16_t>& samples)
{
    constexpr int kWindow = kRate / 100;  // 10 ms
    QList<double> bursts;
    int start = -1, last = -1;
    for (std::size_t at = 0; at + kWindow <= samples.size(); at += kWindow) {
        int peak = 0;
        for (int i = 0; i < kWindow; ++i)
            peak = std::max(peak, std::abs(int{samples[at + std::size_t(i)]}));
        const int window = int(at / kWindow);
        if (peak > 300) {
            if (start < 0)
                start = window;
            last = window;
        } else if (start >= 0 && window - last >= 15) {
            bursts << (last - start + 1) / 100.0;
            start = -1;
        }
    }
    if (start >= 0)
        bursts << (last - start + 1) / 100.0;
    return bursts;
}

// One step of a scenario: a cue (a button cue, or a verdict cue with a 'v' in front of the file
// name) and the pause after it, in milliseconds.
struct Step {
    const char* cue;
    int pauseMs;
};

}  // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestSoundServer : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    std::unique_ptr<SoundServer> server_;
    std::unique_ptr<Recorder> recorder_;

    // Plays the steps through one device control and returns the bursts that arrived meanwhile.
    QList<double> Play(const QList<Step>& steps)
    {
        QtMediaDevice media;
        const CueFileLocator files = BuildCueFiles();
        MMControl control(media, files);
        const std::size_t start = recorder_->Size();
        for (const Step& step : steps) {
            if (step.cue[0] == 'v')
                PlayVerdictCue(control, step.cue + 1);
            else
                PlayCue(control, step.cue);
            QTest::qWait(step.pauseMs);
        }
        return Bursts(recorder_->From(start));
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty())
            QSKIP("PulseAudio is not installed");
        server_ = std::make_unique<SoundServer>(folder_.path());
        QVERIFY(server_->Start());
        qputenv("PULSE_SERVER", ("unix:" + server_->Socket()).toLocal8Bit());
        recorder_ = std::make_unique<Recorder>(server_->Fifo());
        QVERIFY(QTest::qWaitFor([&] { return recorder_->Size() > kRate / 10; }, 5000));
    }

    void cleanupTestCase()
    {
        recorder_.reset();
        server_.reset();
    }

    // Every entry of `minimumSeconds` is one burst that must arrive, at least that long.
    void everyCueArrives_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QList<double>>("minimumSeconds");
        QTest::newRow("verdicts by hand, Reset, HELP and Quit")
            << QList<Step>{{"vChimes.wav", 1300}, {"vChimes2.wav", 1300}, {"vChimes.wav", 1300},
                           {"vChimes2.wav", 1300}, {"pinpon.wav", 1600}, {"pinpon.wav", 1600},
                           {"endpinpon.wav", 1900}}
            << QList<double>{0.85, 0.85, 0.85, 0.85, 1.15, 1.15, 1.4};
        // Automatic firing at N = 5: a verdict every half second, each cut off by the next.
        QTest::newRow("verdicts every half second sound throughout")
            << QList<Step>{{"vChimes.wav", 500}, {"vChimes2.wav", 500}, {"vChimes.wav", 500},
                           {"vChimes2.wav", 500}, {"vChimes.wav", 1300}}
            << QList<double>{2.8};
    }

    void everyCueArrives()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QList<double>, minimumSeconds);
        const QList<double> bursts = Play(steps);
        QString found;
        for (double seconds : bursts)
            found += QString::number(seconds) + " s; ";
        QVERIFY2(bursts.size() == minimumSeconds.size(), qPrintable("bursts: " + found));
        for (int i = 0; i < bursts.size(); ++i)
            QVERIFY2(bursts[i] >= minimumSeconds[i], qPrintable("bursts: " + found));
    }

    // The server goes away, a cue comes while it is gone, and the server comes back: the cues
    // after that sound again, in a device control (and a program) that played before.
    void cuesComeBackAfterTheServerRestarts()
    {
        QtMediaDevice media;
        const CueFileLocator files = BuildCueFiles();
        MMControl control(media, files);
        PlayCue(control, texts::kButtonCue);
        QTest::qWait(1500);
        server_->Stop();
        PlayVerdictCue(control, texts::kFailureCue);  // lost: there is no server to play it
        QTest::qWait(500);
        QVERIFY(server_->Start());
        QTest::qWait(4000);  // Qt's sound layer reconnects a few seconds after losing the server
        const std::size_t start = recorder_->Size();
        PlayVerdictCue(control, texts::kSuccessCue);
        QTest::qWait(1300);
        PlayCue(control, texts::kQuitCue);
        QTest::qWait(1900);
        const QList<double> bursts = Bursts(recorder_->From(start));
        QCOMPARE(bursts.size(), 2);
        QVERIFY(bursts[0] >= 0.85 && bursts[1] >= 1.4);
    }
};

QTEST_MAIN(TestSoundServer)
#include "test_sound_server.moc"
