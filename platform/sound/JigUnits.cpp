#include "platform/sound/JigUnits.h"
#include "platform/os/ShownValue.h"

namespace {
constexpr int kMixLength = 15;
int sUnitsTested = 0;

QString chosen() { return qEnvironmentVariable("VEXO_JIG_UNIT").trimmed().toLower(); }

// The jig whose units the choice sets; nullptr on a real card or without a choice.
sound::JigBackend* chosenJig() { return chosen().isEmpty() ? nullptr : sound::JigBackend::active(); }
}

QStringList jigunits::known() {
    return {QStringLiteral("standard"), QStringLiteral("peak"), QStringLiteral("reversed"), QStringLiteral("dead"),
            QStringLiteral("mix")};
}

bool jigunits::choiceValid(QString& oMessage) {
    if (chosen().isEmpty() || known().contains(chosen())) return true;
    oMessage = QStringLiteral("VEXO_JIG_UNIT ") + shownValue(qEnvironmentVariable("VEXO_JIG_UNIT")) +
               QStringLiteral(" names no unit of the test jig. Known units: ") + known().join(QStringLiteral(", ")) +
               QLatin1Char('.');
    return false;
}

sound::UnitModel jigunits::unitTested(const QString& iChoice, int iNumber) {
    QString name = iChoice;
    if (name == QLatin1String("mix")) {
        const int place = (iNumber - 1) % kMixLength + 1;
        name = place == 5 ? QStringLiteral("peak")
               : place == 10 ? QStringLiteral("reversed")
               : place == 15 ? QStringLiteral("dead")
                             : QStringLiteral("standard");
    }
    if (name == QLatin1String("peak")) return sound::UnitModel::peakPlus3dB();
    if (name == QLatin1String("reversed")) return sound::UnitModel::reversedPolarity();
    if (name == QLatin1String("dead")) return sound::UnitModel::deadUnit();
    return sound::UnitModel::standard();
}

void jigunits::standardUnitIn() {
    if (sound::JigBackend* jig = chosenJig()) jig->setUnit(sound::UnitModel::standard());
}

void jigunits::nextUnit() {
    sound::JigBackend* jig = chosenJig();
    if (!jig) return;
    ++sUnitsTested;
    jig->setUnit(unitTested(chosen(), sUnitsTested));
}
