#pragma once
#include "platform/data/BoundControl.h"
#include "platform/ui/Control.h"
#include <QLabel>

// A label: Caption with an "&" access key that gives the focus to the next
// control in tab order ("&&" shows one "&"), ForeColor/BackColor, Alignment
// (0 left, 1 right, 2 centre), BorderStyle (0 none, 1 a single line), words
// wrapped within its width, Click, and Change when the caption changes. Bound to a data control it shows a field of
// the current record (and never writes it).
class Label : public QLabel, public Control, public BoundControl {
    Q_OBJECT
public:
    Label(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight,
          const QString& iCaption = QString());

    QString Caption() const;
    void setCaption(const QString& iCaption);
    bool UseMnemonic() const { return mUseMnemonic; }
    void setUseMnemonic(bool iUse);
    int32_t ForeColor() const;
    void setForeColor(int32_t iColor);
    int32_t BackColor() const;
    void setBackColor(int32_t iColor);
    int16_t Alignment() const { return mAlignment; }
    void setAlignment(int16_t iAlignment);
    int16_t BorderStyle() const { return mBorderStyle; }
    void setBorderStyle(int16_t iStyle);

    // The control its access key gives the focus to (set when the window is first shown).
    Control* accessTarget() const { return mAccessTarget; }
    void setAccessTarget(Control* iTarget);

    std::function<void()> Click;
    std::function<void()> Change;

    Variant boundValue() const override { return Variant(Caption()); }
    void setBoundValue(const Variant& iValue) override;

protected:
    void mouseReleaseEvent(QMouseEvent* iEvent) override;

private:
    void updateText();
    QString mCaption;
    QString mShown;   // the text last given to QLabel
    bool mUseMnemonic = true;
    int16_t mAlignment = 0;
    int16_t mBorderStyle = 0;
    Control* mAccessTarget = nullptr;
};
