#pragma once
// Widget tests never block on a modal box: every message the program shows is recorded here.

#include "ui/operatormessages.h"

#include <QStringList>

namespace zarvik::test {

class RecordingMessages : public OperatorMessages {
public:
    void information(const QString& text) override { log.append("info:" + text); }
    void message(const QString& text) override { log.append("msg:" + text); }
    void error(const QString& text) override { log.append("error:" + text); }
    bool question(const QString& text) override {
        log.append("question:" + text);
        return answer;
    }
    QStringList log;
    bool answer = true; // what the operator answers a question
};

// The recorder gui_main installs for the whole run; tests clear it when they look at it.
RecordingMessages& messages();

} // namespace zarvik::test
