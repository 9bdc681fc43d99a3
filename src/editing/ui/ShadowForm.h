#pragma once
// TShadowForm: the drop shadow of the selected layers -- offsets, opacity,
// smoothness and colour, each applied to the layers as soon as it moves.
// "&Apply" keeps the result as one history step; "&Cancel" and the window's
// close button give every layer its own shadow back (TShadowSession).

#include <QDialog>
#include <functional>

class QCheckBox;
class QPushButton;
class QSpinBox;
class TColorBox;
class TShadowSession;
class TTrackBar;

class TShadowForm : public QDialog {
    Q_OBJECT
public:
    // session: the selected layers' snapshots; commands run through guard
    TShadowForm(TShadowSession& session, std::function<void(const std::function<void()>&)> guard,
                QWidget* parent = nullptr);

    QSpinBox* SpinEditOffsetX = nullptr;
    QSpinBox* SpinEditOffsetY = nullptr;
    QSpinBox* SpinEditOpacity = nullptr;
    QSpinBox* SpinEditSmoothness = nullptr;
    TTrackBar* suiTrackBarOffsetX = nullptr;
    TTrackBar* suiTrackBarOffsetY = nullptr;
    TTrackBar* suiTrackBarOpacity = nullptr;
    TTrackBar* suiTrackBarSmoothness = nullptr;
    TColorBox* ColorBoxColor = nullptr;
    QCheckBox* CheckBoxSetShadow = nullptr;
    QPushButton* ButtonApply = nullptr;
    QPushButton* ButtonCancel = nullptr;

    // Set when the dialog was closed with "&Apply".
    bool Applied = false;

    // Shows the topmost layer's settings and gives them to every selected
    // layer (run once, when the dialog is first shown).
    void FormShow();
    void CheckBoxSetShadowClick();
    void ButtonApplyClick();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;

private:
    // The number field and track bar of one setting (0 offset X, 1 offset Y,
    // 2 opacity, 3 smoothness), coupled.
    TTrackBar* AddPair(int setting, const char* caption, const char* spinName, const char* barName, int low,
                       int high, QSpinBox*& spin);
    // Gives every selected layer the value of one setting.
    void ApplySetting(int setting, int value);
    void EnableControls(bool on);
    TShadowSession& FSession;
    std::function<void(const std::function<void()>&)> FGuard;
    bool FShown = false;
};
