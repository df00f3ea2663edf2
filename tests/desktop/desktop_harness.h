#pragma once

// The real desktop front end and the real program on the offscreen platform, with a silent
// sound output, every shot a miss and a frozen clock unless others are given. Boxes are answered
// as a user would: through their field and their buttons.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "desktop/fonts.h"
#include "desktop/qt_screens.h"
#include "program/program.h"

namespace mokopera::testing {

struct Silence : MediaDevice, RandomSource, Clock {
    bool Open(const std::string&) override { return true; }
    void Play() override {}
    void Stop() override {}
    void Close() override {}
    void Reseed(float) override {}
    float Next() override { return 0.5F; }
    float SecondsSinceMidnight() override { return 43200.0F; }
};

struct Desktop {
    Silence silence;
    int ends = 0;
    QtScreens screens{[this] { ++ends; }};
    ExperimentState record;
    Program program;

    explicit Desktop(MediaDevice* media = nullptr, RandomSource* random = nullptr, Clock* clock = nullptr)
        : program({screens, screens, media ? *media : silence, random ? *random : silence, clock ? *clock : silence},
                  record)
    {
        screens.Attach(program);
    }

    // The box that is open, once it is.
    PromptBox* WaitForBox()
    {
        (void)QTest::qWaitFor([&] { return screens.OpenBox() != nullptr; }, 5000);
        return screens.OpenBox();
    }

    // Answers the open box: `text` into its field (if given), then the button that says `button`.
    void Answer(const QString& button, const QString& text = {})
    {
        PromptBox* box = WaitForBox();
        if (!text.isNull())
            box->findChild<QLineEdit*>()->setText(text);
        for (QPushButton* each : box->findChildren<QPushButton*>())
            if (each->text() == button)
                each->click();
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
