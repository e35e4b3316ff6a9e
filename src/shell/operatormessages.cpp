#include "shell/operatormessages.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

namespace zarvik {
namespace {

class BoxMessages : public OperatorMessages {
public:
    void information(const QString& text) override {
        QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(),
                                 text);
    }
    void message(const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }
    void error(const QString& text) override {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
    }
};

std::unique_ptr<OperatorMessages>& current() {
    static std::unique_ptr<OperatorMessages> messages = std::make_unique<BoxMessages>();
    return messages;
}

} // namespace

OperatorMessages& operatorMessages() {
    return *current();
}

std::unique_ptr<OperatorMessages> setOperatorMessages(std::unique_ptr<OperatorMessages> m) {
    std::swap(current(), m);
    return m;
}

void guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        operatorMessages().error(QString::fromUtf8(e.what()));
    } catch (...) {
        operatorMessages().error(QObject::tr("Неизвестная ошибка"));
    }
}

} // namespace zarvik
