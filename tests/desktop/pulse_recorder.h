#pragma once

// A private PulseAudio server whose only output is a pipe, and a recorder of what arrives there:
// what a real sound server really plays, for the cue tests and the cue benchmark.

#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace mokopera::testing {

inline constexpr int kRate = 8000;  // the pipe sink's rate: 16-bit mono samples

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
inline QList<double> Bursts(const std::vector<std::int16_t>& samples)
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

}  // namespace mokopera::testing
