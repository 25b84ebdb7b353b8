#pragma once
// The dialog that asks for the CD drive, and the drive functions of the
// source medium.

#include "sys/drives.h"
#include "ui/Controls.h"
#include "ui/Form.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TfrmCD : public ui::Form {
public:
    TfrmCD();

    // Runs the dialog until the user picks a drive holding the product or
    // cancels. Returns the drive root with a trailing backslash, or "" on
    // cancel.
    std::string WybierzCD();
    void UstawJezyk(std::uint8_t jezyk);

    // The wizard's language switch; the flag buttons call it.
    std::function<void(std::uint8_t)> ZmienJezykKreatora;

    ui::Label lblCD;
    ui::ComboBox cmbDrive;
    ui::Button btnOK;
    ui::Button btnAnuluj;
    ui::Panel pnlJezyk;
    ui::Label lblJezyk;
    ui::SpeedButton btnPolski;
    ui::SpeedButton btnAngielski;
    ui::SpeedButton btnNiemiecki;
    ui::SpeedButton btnFrancuski;

    // Drive roots, parallel to the items of cmbDrive.
    std::vector<std::string> ListaDyskow;

private:
    void FormShow();
    void btnPolskiClick();
    void WypelnijListeDyskow();
};

// Whether a drive root holds the product: "VeltPl.exe" or "VeltPl2.exe", and
// "UmowaPol.txt".
bool JestProgramNaDysku(std::string_view korzen);

// Folder of the running wizard, with a trailing backslash.
std::string KatalogProgramu();
// The first three characters of the upper-cased KatalogProgramu, e.g. "D:\".
std::string DyskProgramu();
// The Windows drive type of the path's drive root; Unknown without a drive
// part.
sys::DriveKind TypDysku(std::string_view sciezka);
