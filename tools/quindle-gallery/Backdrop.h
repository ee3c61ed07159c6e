#pragma once

#include <QImage>
#include <QWidget>

// A panel that stretches a picture over itself, as Vantoc's main window does
// with its background bitmap; the see-through controls are shown on it.
class Backdrop : public QWidget {
public:
    explicit Backdrop(QWidget* parent = nullptr);

    // The slate-blue field with soft diagonal bands that the panel shows.
    static QImage Picture(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};
