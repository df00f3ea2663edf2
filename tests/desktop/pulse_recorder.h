#pragma once

// A private PulseAudio server whose only output is a pipe, and a recording of everything that
// arrives there: what a real sound server really plays, for the cue test and the cue benchmark.

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <vector>

namespace mokopera::testing {

inline constexpr int kRate = 8000;  // the pipe's samples: 16-bit mono

class SoundServer {
public:
    explicit SoundServer(const QString& folder) : folder_(folder) {}
    ~SoundServer() { Stop(); }

    QString Socket() const { return folder_ + "/native"; }

    // Starts the server, and a reader that appends what it plays to the recording.
    bool Start()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", folder_);
        environment.insert("HOME", folder_);
        server_.setProcessEnvironment(environment);
        server_.start(QStandardPaths::findExecutable("pulseaudio"),
                      {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--log-level=error",
                       "--load=module-native-protocol-unix auth-anonymous=1 socket=" + Socket(),
                       QString("--load=module-pipe-sink file=%1/sink format=s16le rate=%2 channels=1 "
                               "use_system_clock_for_timing=yes")
                           .arg(folder_)
                           .arg(kRate)});
        if (!server_.waitForStarted() || !QTest::qWaitFor([&] { return QFile::exists(Socket()); }, 10000))
            return false;
        reader_.setStandardOutputFile(folder_ + "/recording", QIODevice::Append);
        reader_.start("cat", {folder_ + "/sink"});
        return reader_.waitForStarted();
    }

    void Stop()
    {
        for (QProcess* process : {&server_, &reader_})
            process->terminate(), process->waitForFinished();
        QFile::remove(Socket());
    }

    // The samples recorded so far, from the `first` on.
    std::vector<std::int16_t> Recording(std::size_t first = 0) const
    {
        QFile file(folder_ + "/recording");
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        std::vector<std::int16_t> samples(std::size_t(bytes.size()) / 2);
        if (!samples.empty())
            std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
        return {samples.begin() + std::ptrdiff_t(std::min(first, samples.size())), samples.end()};
    }

private:
    QString folder_;
    QProcess server_, reader_;
};

// The lengths in seconds of the stretches of sound, each ended by at least `quietMs` of quiet.
inline std::vector<double> Bursts(const std::vector<std::int16_t>& samples, int quietMs = 150)
{
    std::vector<double> bursts;
    int start = -1, last = -1;
    for (std::size_t at = 0, window = 0; at + kRate / 100 <= samples.size(); at += kRate / 100, ++window) {
        const auto [low, high] = std::minmax_element(samples.begin() + std::ptrdiff_t(at),
                                                     samples.begin() + std::ptrdiff_t(at + kRate / 100));
        if (std::max(-int{*low}, int{*high}) > 300)
            start = start < 0 ? int(window) : start, last = int(window);
        else if (start >= 0 && int(window) - last >= quietMs / 10)
            bursts.push_back((last - start + 1) / 100.0), start = -1;
    }
    if (start >= 0)
        bursts.push_back((last - start + 1) / 100.0);
    return bursts;
}

}  // namespace mokopera::testing
