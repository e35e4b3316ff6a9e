#pragma once
// "Связь": the line's figures in a small window of their own, for the last transfer and summed
// since the program started, with the reconnects.

#include "device/linkfigures.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;

namespace zarvik {

class LinkView : public QWidget {
    Q_OBJECT
public:
    explicit LinkView(QWidget* parent = nullptr);

    // `transfers` ended since the start, the last of them `last`; `openings` of the port.
    void showFigures(const TransferFigures& last, const TransferFigures& totals, int transfers,
                     int openings);
    // The shown value of row `row` (0 transfers .. 8 reconnects), column 0 last, 1 totals; the
    // transfers and the reconnects have no value for the last transfer.
    QString value(int row, int column) const;

    static constexpr int kRows = 9;

    // F1: "Idh_Page#anchor" of the window.
    std::function<void(const QString&)> showHelp;

protected:
    bool event(QEvent* event) override;

private:
    std::array<std::array<QLabel*, 2>, kRows> m_values{};
};

} // namespace zarvik
