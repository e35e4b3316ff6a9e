#pragma once
// The start-mode button of the tool bar: a measurement starts either when the start command
// reaches the board (start by button) or when the board's external start circuit fires after
// it. The mode travels to the board in the start command and is kept in the settings.

#include <QObject>
#include <QPixmap>
#include <cstdint>

class QAbstractButton;

namespace zarvik {

class StartModeButton : public QObject {
    Q_OBJECT
public:
    static constexpr std::int32_t kByButton = 0;
    static constexpr std::int32_t kExternal = 16;

    explicit StartModeButton(QAbstractButton* btStartMode, QObject* parent = nullptr);

    // 0: start by button; 16: the board waits for its external start circuit.
    std::int32_t StartMode = kByButton;

    // Flips the mode with the button's picture and hint.
    void btStartModeClick();
    // Brings back a stored mode: a stored 16 is external start, anything else start by button.
    void restore(int stored);

    // The button's two pictures: the computer (start by button) and the rising edge of the
    // external start signal.
    static QPixmap imgPC();
    static QPixmap imgExRise();

private:
    QAbstractButton* m_button;
};

} // namespace zarvik
