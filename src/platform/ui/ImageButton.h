#pragma once
// A picture button: four pictures (normal, pointer over it, pressed,
// disabled), of which it shows the one of its state. It takes the size of
// its pictures and reports clicks (QAbstractButton::clicked) and the pointer
// entering and leaving it. A checked button shows its pressed picture, so a
// row of them can work as tabs.
//
// The pictures are set by whoever loads them (the window chrome paints the
// captions onto them); a button without a disabled picture shows its normal
// one when disabled, and one without pictures is an empty square.

#include <QAbstractButton>
#include <QImage>
#include <array>

class TImageButton : public QAbstractButton {
    Q_OBJECT
public:
    enum TState { Normal, Hover, Pressed, Disabled };

    explicit TImageButton(QWidget* parent = nullptr);

    // The pictures by state; a picture with a device pixel ratio of 2 is
    // shown at half its pixel size.
    void SetPictures(const std::array<QImage, 4>& pictures);
    const QImage& Picture(TState state) const { return FPictures[size_t(state)]; }
    // The state whose picture is shown now, and that picture.
    TState ShownState() const;
    const QImage& ShownPicture() const;

    QSize sizeHint() const override;

signals:
    void MouseEnter();
    void MouseLeave();

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void changeEvent(QEvent*) override;

private:
    std::array<QImage, 4> FPictures;
    bool FOver = false;
};
