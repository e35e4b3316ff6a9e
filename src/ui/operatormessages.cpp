#include "ui/operatormessages.h"

#include "common/uitext.h"
#include "ui/language.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <new>

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
    bool question(const QString& text) override {
        return QMessageBox::question(QApplication::activeWindow(), QApplication::applicationName(),
                                     text) == QMessageBox::Yes;
    }
};

std::unique_ptr<OperatorMessages>& current() {
    static std::unique_ptr<OperatorMessages> messages = std::make_unique<BoxMessages>();
    return messages;
}

} // namespace

bool OperatorMessages::question(const QString& /*text*/) {
    return false;
}

OperatorMessages& operatorMessages() {
    return *current();
}

std::unique_ptr<OperatorMessages> setOperatorMessages(std::unique_ptr<OperatorMessages> m) {
    std::swap(current(), m);
    return m;
}

QString errorText(const std::exception& e) {
    const auto* own = dynamic_cast<const UiError*>(&e);
    if (own && !own->text().empty())
        return translated(own->text());
    return QString::fromUtf8(e.what());
}

void showException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        operatorMessages().error(QObject::tr("Недостаточно памяти"));
    } catch (const std::exception& e) {
        operatorMessages().error(errorText(e));
    } catch (...) {
        operatorMessages().error(QObject::tr("Неизвестная ошибка"));
    }
}

void guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        showException(std::current_exception());
    }
}

} // namespace zarvik
