#pragma once
// The wizard form as the installation engine sees it: the installation
// page's labels and gauge, the message pump and the Close button.

#include "install/Silnik.h"

class TfrmMain;

class OknoKreatora final : public OknoInstalacji {
public:
    explicit OknoKreatora(TfrmMain& form) noexcept : form_(form) {}
    void PokazOpis(int tekst) override;
    void PokazPliki(const std::string& z, const std::string& doCelu) override;
    void UstawZakres(std::int32_t maksimum) override;
    void Posun() override;
    void UstawPozycje(std::int32_t pozycja) override;
    void PrzetworzKomunikaty() override;
    void ZablokujPrzerwanie() override;
    bool SprawdzPrzerwanie() override;

private:
    TfrmMain& form_;
};

// At start: the runs on this computer that died half-way are undone, or kept,
// or asked about again at the next start, as the user answers (a silent run
// undoes them), before the wizard shows its first page.
void OdzyskajPoPrzerwaniu(TfrmMain& form);
