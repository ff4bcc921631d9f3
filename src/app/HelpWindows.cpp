#include "HelpWindows.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tessarin::app {

About_Frm::About_Frm(QWidget* parent) : QDialog(parent) {
    setObjectName("About_Frm");
    setWindowTitle("About Tessarin 2");
    auto* box = new QVBoxLayout(this);
    auto* text = new QLabel(
        "<h3>Tessarin 2.9</h3>"
        "<p>An editor, converter and viewer for Tomb Raider level files:<br>"
        "TR1 (.phd), TR2 and TR3 (.tr2), TR4 (.tr4) and TR5 (.trc).</p>"
        "<p>Open a level, pick a room and click a sector on the map to read its doors, heights,<br>"
        "triggers and items. TR2 and TR3 levels can be edited and saved.</p>",
        this);
    text->setObjectName("AboutText");
    box->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    box->addWidget(buttons);
}

MineCartHelp_Frm::MineCartHelp_Frm(QWidget* parent) : QDialog(parent) {
    setObjectName("MineCartHelp_Frm");
    setWindowTitle("MineCart Help");
    const std::array<const char*, 6> texts = {
        "Minecarts in TR3 follow floor-data entries on the sectors of their track.",
        "With a TR3 level open, select a sector on the map, then press one of the buttons in the "
        "\"Sectors\" frame. The entry is added to that sector; save the level to keep it.",
        "The buttons light up blue for the entries a sector already has.",
        "Minecart Left: the cart turns left when it reaches this sector.",
        "Minecart Right: the cart turns right when it reaches this sector.",
        "Minecart Stop: adds both entries; a sector with both makes the cart stop.",
    };
    auto* box = new QVBoxLayout(this);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        MineReadme[i] = new QLabel(texts[i], this);
        MineReadme[i]->setObjectName(QStringLiteral("MineReadme%1").arg(i));
        MineReadme[i]->setWordWrap(true);
        box->addWidget(MineReadme[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    box->addWidget(buttons);
    setMinimumWidth(420);
    showCartEntries(false);
}

void MineCartHelp_Frm::showCartEntries(bool visible) {
    for (std::size_t i = 3; i < MineReadme.size(); ++i) MineReadme[i]->setVisible(visible);
}

}  // namespace tessarin::app
