#pragma once

// The real desktop front end and the real program, with a silent sound output and a scripted
// random source, on the offscreen platform. Boxes are answered as a user would: through their
// field and their buttons.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "desktop/fonts.h"
#include "desktop/qt_screens.h"
#include "program/program.h"

namespace mokopera::testing {

class SilentOutput : public MediaDevice {
public:
    QStringList log;
    bool Open(const std::string& name) override
    {
        log << "open " + QString::fromStdString(name);
        return true;
    }
    void Play() override { log << "play"; }
    void Stop() override { log << "stop"; }
    void Close() override { log << "close"; }
};

// Every value 0.5: every shot a miss at distance 101.
class HalfwayRandom : public RandomSource {
public:
    void Reseed(float) override {}
    float Next() override { return 0.5F; }
};

class NoonClock : public Clock {
public:
    float SecondsSinceMidnight() override { return 43200.0F; }
};

struct Desktop {
    SilentOutput silent;
    HalfwayRandom halfway;
    NoonClock noon;
    MediaDevice& media;
    RandomSource& random;
    Clock& clock;
    int ends = 0;
    QtScreens screens{[this] { ++ends; }};
    Program program;

    // A silent output, every shot a miss and a frozen clock, unless others are given.
    explicit Desktop(MediaDevice* output = nullptr, RandomSource* source = nullptr, Clock* time = nullptr)
        : media(output ? *output : silent), random(source ? *source : halfway), clock(time ? *time : noon),
          program({screens, screens, media, random, clock})
    {
        screens.Attach(program);
    }

    // The box that is open, once it is.
    PromptBox* WaitForBox()
    {
        (void)QTest::qWaitFor([&] { return screens.OpenBox() != nullptr; }, 5000);
        return screens.OpenBox();
    }

    // Answers the open box: `text` into its field (if it has one), then its button `button`.
    void Answer(const QString& button, const QString& text = {})
    {
        PromptBox* box = WaitForBox();
        if (!box)
            return;
        if (auto* field = box->findChild<QLineEdit*>(); field && !text.isNull())
            field->setText(text);
        for (QPushButton* each : box->findChildren<QPushButton*>())
            if (each->text() == button)
                return each->click();
    }

    // The main window after its activation, with N entered.
    MainWidget* Start(const QString& shots = "5")
    {
        program.Start();
        Answer("OK", shots);
        return screens.CurrentMainWidget();
    }

    void Click(int command)
    {
        screens.CurrentMainWidget()->findChild<QPushButton*>(QString("Command%1").arg(command))->click();
    }
};

inline void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace mokopera::testing
