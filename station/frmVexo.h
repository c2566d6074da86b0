#pragma once
#include <QWidget>

class QLabel;
class QTimer;
class SingleInstance;

// The operator's main window. Its load step starts the station: one copy only,
// the start-up texts, the station settings file and the clock.
class frmVexo : public QWidget {
    Q_OBJECT
public:
    frmVexo();
    ~frmVexo() override;

    // Runs the load step; false when this copy must end (another copy runs).
    bool Form_Load();
    void Form_Unload();
    // Brings the window to the front, restoring it when minimised.
    void gBringToFront();

    QLabel* lblTimeDate = nullptr;
    QTimer* tmrClock = nullptr;

private:
    void tmrClock_Timer();
    SingleInstance* mInstance = nullptr;
    bool mLoaded = false;
};
