#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classroom/result_code.h"
#include "simulation/experiment_state.h"

namespace mokopera {

// Where a new series' id comes from: a source no one can predict or repeat (the browser's
// cryptographic generator on the page), never the shot's clock-seeded generator.
class IdSource {
public:
    virtual ~IdSource() = default;
    [[nodiscard]] virtual std::uint64_t NextId() = 0;
};

// The system's random device: /dev/urandom on the desktop, the browser's crypto.getRandomValues
// in the web edition.
class SystemIds final : public IdSource {
public:
    [[nodiscard]] std::uint64_t NextId() override;
};

// Where the series of a visit are kept while the page is away (a reload, back and forward, a tab
// the browser discards and brings back, a browser restored after a crash): the web edition keeps
// them in its tab's session storage, which closing the tab empties. The text is the series' codes,
// one a line. The desktop keeps nothing.
class SeriesStorage {
public:
    virtual ~SeriesStorage() = default;
    [[nodiscard]] virtual std::string Load() = 0;  // empty when nothing is kept
    virtual void Save(const std::string& codes) = 0;
};

// The series of one run, for the student to send as codes. A series is the experiments made after
// an entry of N was accepted; it ends at the next entry, Reset, HELP or Quit. Only finished
// experiments count: the counts are taken when an experiment ends, so one still under way is
// left out. The log belongs to whoever keeps the run's results (the page keeps it across
// restarts of the program); the main window tells it where series begin and what each shot left.
// With a storage, the series kept there come first, finished, and every change is saved.
class SeriesLog {
public:
    explicit SeriesLog(IdSource& ids, SeriesStorage* storage = nullptr);

    // An entry of `shots` was accepted: the series before it is over, a new one starts with a
    // fresh id.
    void Begin(int shots);
    // The student's prediction for the series just begun.
    void Predict(const Prediction& prediction);
    // After a shot: the current series' finished experiments and successes as `record` holds
    // them (its counters count finished experiments only).
    void Record(const ExperimentState& record);

    // Every series with at least one finished experiment, the oldest first; the current one last.
    [[nodiscard]] const std::vector<codes::Series>& All() const { return series_; }

private:
    void Save();

    IdSource& ids_;
    SeriesStorage* storage_;
    std::vector<codes::Series> series_;
    bool open_ = false;     // `next_` has begun and has no finished experiment yet: not listed
    bool current_ = false;  // the last series listed is the one under way
    codes::Series next_;
};

}  // namespace mokopera
