#pragma once
#include "platform/ui/TextMeasure.h"
#include <QList>
#include <QWidget>
#include <climits>
#include <cstdint>
#include <functional>

class Control;
class Menu;
class QMenuBar;
namespace uievents { class HandlerScope; }

enum FormShowMode : int16_t { vbModeless = 0, vbModal = 1 };
enum FormWindowState : int16_t { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

// The base of every station window. A window is a class with its controls as
// members, built in its constructor in twips, with its handlers set there:
//
//   class frmExample : public Form {
//   public:
//       frmExample();
//       TextBox* txtName = nullptr;
//   private:
//       void Form_Load();
//       void txtName_KeyPress(int16_t& KeyAscii);
//   };
//   frmExample::frmExample() : Form("frmExample") {
//       setClientSize(3000, 1725);
//       txtName = new TextBox(this, "txtName", 360, 600, 2295, 285);
//       txtName->KeyPress = [this](int16_t& KeyAscii) { txtName_KeyPress(KeyAscii); };
//       Load = [this] { Form_Load(); };
//   }
//
// It is reached through its default instance: form<frmExample>() creates it and
// runs its Load once (Load does not show it), unload<frmExample>() runs its
// Unload and destroys it (see FormRegistry.h). Coordinates and sizes are twips
// at 15 twips per pixel; Left/Top/Width/Height are the outer frame's, the
// client area (below the menu bar) is ScaleWidth x ScaleHeight.
class Form : public QWidget, public TextMeasure {
    Q_OBJECT
public:
    explicit Form(const QString& iName);
    ~Form() override;

    // The window a widget belongs to (through popups such as menus).
    static Form* of(const QObject* iObject);
    // The station's windows in the order they were made (the main window first).
    static QList<Form*> allForms();
    // True once the window's own code has placed it (Move, Left, Top).
    bool placedByCode() const { return mLeft != INT32_MIN; }

    // Events.
    std::function<void()> Load;
    std::function<void(int16_t& Cancel)> Unload;
    // With KeyPreview on, these run before the focused control's and may consume
    // the key (KeyCode or KeyAscii set to 0); they also run when no control has the focus.
    std::function<void(int16_t& KeyCode, int16_t Shift)> KeyDown;
    std::function<void(int16_t& KeyAscii)> KeyPress;
    std::function<void(int16_t& KeyCode, int16_t Shift)> KeyUp;

    bool KeyPreview() const { return mKeyPreview; }
    void setKeyPreview(bool iOn) { mKeyPreview = iOn; }

    QString Name() const { return objectName(); }
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& iCaption) { setWindowTitle(iCaption); }

    // The outer frame in twips (32-bit).
    int32_t Left() const;
    int32_t Top() const;
    int32_t Width() const;
    int32_t Height() const;
    void setLeft(int32_t iLeft) { Move(iLeft, Top()); }
    void setTop(int32_t iTop) { Move(Left(), iTop); }
    void setWidth(int32_t iWidth);
    void setHeight(int32_t iHeight);
    void Move(int32_t iLeft, int32_t iTop, int32_t iWidth = INT32_MIN, int32_t iHeight = INT32_MIN);
    // The client area in twips (below the menu bar), as the window descriptions give it.
    int32_t ScaleWidth() const;
    int32_t ScaleHeight() const;
    void setClientSize(int32_t iWidth, int32_t iHeight);

    int16_t WindowState() const;
    void setWindowState(int16_t iState);

    // Shows the window; vbModal shows it through gShowModal and returns when it is hidden or unloaded.
    void Show(int16_t iMode = vbModeless);
    void Hide() { hide(); }
    // "Unload Me": runs Unload (which may cancel), then stops the window's timers
    // and hides it. The object stays (its members can still be read) until its
    // default instance is released. True when the window was unloaded.
    bool UnloadMe();
    // Paints the window now, for a notice shown while the user-interface thread
    // is busy. A window just shown is first waited for until it is on the screen
    // (window events other than input may run meanwhile).
    void Refresh();
    // Brings the window to the front, restoring it when minimised.
    void BringToFront();

    bool Loaded() const { return mState == State::Loaded; }
    bool Unloaded() const { return mState == State::Unloaded; }
    // Whether the window's handlers may run: loaded and not being destroyed.
    bool acceptsEvents() const { return mState == State::Loaded && !mDying; }

    // The window takes no keys, clicks or closing while its input is disabled;
    // its own dialogs and message boxes stay usable (see InputLock.h).
    bool Enabled() const;
    void setInputEnabled(bool iEnabled);

    // The control that has (or last had) the focus in this window.
    Control* ActiveControl() const;
    // All controls in the order they were made (the tab order).
    const QList<Control*>& Controls() const { return mControls; }
    Control* control(const QString& iName, int16_t iIndex = -1) const;
    Menu* menu(const QString& iName) const;
    QMenuBar* menuBar();
    QWidget* client() const { return mClient; }

    // Width of a text in the window's font, in twips.
    double TextWidth(const QString& iText) const override;

    // Ends the program as the station's End does: no more window events run, the
    // windows are hidden, their timers stopped and the event loop told to quit.
    static void EndProgram();
    static bool programEnding();

    // Used by the default instances (FormRegistry.h).
    void runLoad();
    void release();
    // Every window loaded now, in the order they were made.
    static QList<Form*> loadedForms();

signals:
    // The window has unloaded (its Unload ran and did not cancel).
    void unloaded();

protected:
    void closeEvent(QCloseEvent* iEvent) override;
    void showEvent(QShowEvent* iEvent) override;
    void resizeEvent(QResizeEvent* iEvent) override;

private:
    friend class Control;
    friend class Menu;
    friend class EventRouter;
    friend class Validation;
    friend class uievents::HandlerScope;
    enum class State { Created, Loaded, Unloaded };

    void addControl(Control* iControl);
    void removeControl(Control* iControl);
    void layoutClient();
    void updateMenuBar();
    void stopTimers();
    void resolveAccessKeys();
    // Tab and Shift+Tab: the next control in tab order that can take the focus.
    Control* nextInTabOrder(Control* iFrom, bool iForward) const;
    bool isTabCandidate(const Control* iControl) const;
    Menu* menuForShortcut(int16_t iKeyCode, int16_t iShift) const;

    QWidget* mClient = nullptr;
    QMenuBar* mMenuBar = nullptr;
    int mMenuBarHeight = 0;
    QList<Control*> mControls;
    State mState = State::Created;
    bool mKeyPreview = false;
    bool mDying = false;
    bool mShownOnce = false;
    int mHandlersRunning = 0;
    bool mReleaseWhenIdle = false;
    int32_t mLeft = INT32_MIN, mTop = INT32_MIN, mWidth = INT32_MIN, mHeight = INT32_MIN;
    int32_t mScaleWidth = INT32_MIN, mScaleHeight = INT32_MIN;
};
