#pragma once

#include "screencolor.h"

#include <functional>
#include <QPixmap>
#include <QWidget>

enum TTextPos { tpNone, tpLeft, tpRight, tpAbove, tpBelow };
enum TBorderStyle { bsNone, bsSingle };

/// A focusable switch that shows an off or an on picture with an optional
/// caption beside it, and flips on a left mouse press or its toggle key.
class TOnOffSwitch : public QWidget
{
    Q_OBJECT

public:
    explicit TOnOffSwitch(QWidget *parent = nullptr);

    bool StateOn() const { return m_stateOn; }
    /// On a change: repaints, then fires OnOn or OnOff.
    void setStateOn(bool on);
    void Toggle() { setStateOn(!m_stateOn); }

    const QString &Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    TTextPos TextPosition() const { return m_textPosition; }
    void setTextPosition(TTextPos position);
    /// The pictures; an empty one brings the built-in picture back.
    const QPixmap &GlyphOff() const { return m_glyphs[0]; }
    void setGlyphOff(const QPixmap &glyph) { setGlyph(0, glyph); }
    const QPixmap &GlyphOn() const { return m_glyphs[1]; }
    void setGlyphOn(const QPixmap &glyph) { setGlyph(1, glyph); }
    /// Whether glyph 0 (off) or 1 (on) was supplied rather than built in.
    bool isUserGlyph(int index) const { return m_userGlyphs & (1 << index); }
    bool ShowFocus() const { return m_showFocus; }
    void setShowFocus(bool on);
    /// Key and modifiers that toggle; an empty combination for none.
    QKeyCombination ToggleKey() const { return m_toggleKey; }
    void setToggleKey(QKeyCombination key) { m_toggleKey = key; }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);
    TColor Color() const { return m_color; }
    void setColor(TColor color);
    /// Paints in the parent's colour instead of Color.
    bool ParentColor() const { return m_parentColor; }
    void setParentColor(bool on);

    std::function<void(TOnOffSwitch *sender)> OnOn;
    std::function<void(TOnOffSwitch *sender)> OnOff;

    /// The built-in pictures, 32 × 48.
    static QPixmap builtInGlyph(int index);
    /// Where the picture of the current state stands.
    QRect glyphRect() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setGlyph(int index, const QPixmap &glyph);
    QColor backgroundColor() const;
    QRect clientRect() const;
    // The picture of the current state on the background colour, cached.
    const QPixmap &shownGlyph() const;
    void forgetShownGlyphs();
    void grabAccelerator();

    QPixmap m_glyphs[2];
    mutable QPixmap m_shown[2]; // glyphs with their transparent colour replaced
    mutable QPixmap m_greyed[2]; // the same, greyed, for a disabled switch
    bool m_stateOn = false;
    QString m_caption;
    TTextPos m_textPosition = tpNone;
    TBorderStyle m_borderStyle = bsNone;
    QKeyCombination m_toggleKey = Qt::Key_Space;
    bool m_showFocus = true;
    unsigned m_userGlyphs = 0;
    TColor m_color = clWindow;
    bool m_parentColor = true;
    int m_acceleratorId = 0;
};
