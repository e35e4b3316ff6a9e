#pragma once
// The one way the program speaks to the operator: modal boxes in the program, a recorder in
// tests. Errors raised below a handler (file, stream, serial) are caught by `guarded` and
// shown with their text, so nothing escapes a Qt slot.

#include <QString>
#include <exception>
#include <functional>
#include <memory>

namespace zarvik {

class OperatorMessages {
public:
    virtual ~OperatorMessages() = default;
    // An information box (file and port messages).
    virtual void information(const QString& text) = 0;
    // A plain message box.
    virtual void message(const QString& text) = 0;
    // The error display for errors raised by the file, stream and serial layers.
    virtual void error(const QString& text) = 0;
    // A question with the answers Yes and No; true for Yes. Unless a facility asks the
    // operator, the answer is No, which loses nothing.
    virtual bool question(const QString& text);
};

// The facility in force; modal boxes unless replaced.
OperatorMessages& operatorMessages();
// Replaces the facility (tests install a recorder); returns the previous one.
std::unique_ptr<OperatorMessages> setOperatorMessages(std::unique_ptr<OperatorMessages> m);

// The operator's text of an error raised below a handler: the program's own messages in the
// interface's language, the platform's as they are.
QString errorText(const std::exception& e);

// Shows an exception through error(): an error of the file, stream and serial layers with its
// text, a failed allocation and an exception of no known type in the operator's words.
void showException(std::exception_ptr error);

// Runs `handler`; an exception it throws, of whatever type, is shown by showException.
void guarded(const std::function<void()>& handler);

} // namespace zarvik
