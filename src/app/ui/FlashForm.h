#pragma once
// The splash window: borderless, translucent, always on top, centred,
// showing resource/start.png with "Loading..." drawn on it.

#include <QImage>
#include <QWidget>

class TFlashForm : public QWidget {
    Q_OBJECT
public:
    explicit TFlashForm(const QString& resourceRoot);
    const QImage& Picture() const { return FPicture; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage FPicture;
};
