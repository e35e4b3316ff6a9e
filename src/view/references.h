#pragma once
// Data files laid over the current measurement for comparison: each drawn in the view of the
// measurement (units, time unit, smoothing) with its own calibration, against the same X axis
// from sample 0, as thin dashed lines in a lighter shade of each channel's colour, and with one
// legend entry naming the file. Only channels the measurement shows are drawn. They are part
// of the view alone: export, spectrum, trend and save read the measurement's lines only.

#include "common/measurement.h"
#include "files/filedialog.h"
#include "view/chartbuild.h"

#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class QAbstractButton;
class QLabel;

namespace zarvik {

class Chart;
class ChartView;
class LineSeries;

class References : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxReferences = 3;

    // The controls of the chart panel this part works on.
    struct Controls {
        Chart* chart = nullptr;
        QAbstractButton* btOverlay = nullptr;
        std::array<QLabel*, kMaxReferences> lbReference{};
        std::array<QAbstractButton*, kMaxReferences> btRemoveReference{};
    };

    References(const Controls& controls, ChartView& view, QObject* parent = nullptr);
    ~References() override;

    // Asks for a data file and lays it over the measurement.
    void btOverlayClick();
    // Lays the data file over the measurement. False, with the message the open button gives,
    // when it cannot be read; nothing changes then.
    bool overlay(const QString& fileName);
    void remove(int index);

    int count() const { return static_cast<int>(m_references.size()); }
    // The file's name without its folder.
    QString name(int index) const;
    // The line of a reference's channel, or nullptr when the file does not hold the channel.
    const LineSeries* line(int index, int channel) const;

    FileDialog OverlayDlg;

signals:
    // A reference came or went.
    void changed();

private:
    struct Reference;
    // Draws the reference in the view of the measurement's last build.
    void build(Reference& r);
    void rebuild();
    void takeColors();
    void showList();

    Controls m_c;
    ChartView& m_view;
    std::vector<std::unique_ptr<Reference>> m_references;
};

} // namespace zarvik
