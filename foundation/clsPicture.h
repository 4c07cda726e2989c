#pragma once
// A picture loaded from a file and shown in a picture control (a QLabel):
// blank, at its own size, at a given size, at a percentage of its size, or
// fitted into a container with its proportions kept. Sizes are in pixels,
// the picture's own as well as the control's. Every drawing operation ends by
// sizing the control so that its inner area (inside its frame) is exactly the
// size drawn.
#include <QLabel>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

class clsPicture {
public:
    // Loads the picture from fileName; a missing file shows "File doesnt
    // exist" and a file that is not a picture "Cant load the picture" and the
    // file name. Then, when a control is given, it becomes PicControl, is
    // blanked and prepared to show the picture from its top left corner,
    // inside a sunken frame, without sizing itself to the picture.
    void init(const QString& fileName, QLabel* control = nullptr);

    // PicControl shows the picture at its own size. The argument is not used.
    void displayInPicControl(QWidget* control = nullptr);
    // PicControl shows nothing.
    void BlankOutput();

    // Draws the picture at width x height; the result is always null.
    QObject* resizeAbsolute(float newWidth, float newHeight);
    // Draws the picture as large as fits the container's inner area,
    // proportions kept.
    void resizeToFitContainer(QWidget* container);
    // Draws the picture at percent of its own size.
    void resizeByPercent(float percent);

    QString ActualFilename() const { return m_actualFilename; }
    void setActualFilename(const QString& name) { m_actualFilename = name; }
    QString TempFile() const { return m_tempFile; }
    void setTempFile(const QString& name) { m_tempFile = name; }
    QLabel* PicControl() const { return m_picControl; }
    void setPicControl(QLabel* control) { m_picControl = control; }
    QPixmap pic() const { return m_pic; }
    void setPic(const QPixmap& picture) { m_pic = picture; }

    // The size last computed by resizeToFitContainer.
    float lastWidth() const { return m_lastWidth; }
    float lastHeight() const { return m_lastHeight; }

private:
    void draw(int width, int height);
    void SetControlInnerSize(int width, int height);

    QPixmap m_pic;
    QPointer<QLabel> m_picControl;
    QString m_actualFilename;
    QString m_tempFile;
    double m_picWidth = 0;  // the picture's own size, taken when it was loaded
    double m_picHeight = 0;
    float m_lastWidth = 0;
    float m_lastHeight = 0;
};
