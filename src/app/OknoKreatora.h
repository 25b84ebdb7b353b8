#pragma once
// The wizard form as the installation engine sees it: the installation
// page's labels and gauge, the message pump and the Close button.

#include "install/Kopiowanie.h"
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
    void Odswiez() override;
    [[nodiscard]] std::uint64_t Milisekundy() override;
    void ZablokujPrzerwanie() override;
    bool SprawdzPrzerwanie() override;

private:
    TfrmMain& form_;
};

// At start: the runs on this computer that died half-way are undone, or kept,
// or asked about again at the next start, as the user answers (a silent run
// undoes them), before the wizard shows its first page.
void OdzyskajPoPrzerwaniu(TfrmMain& form);

// The wizard's own records, as its installation run keeps them.
[[nodiscard]] StanKopiowania StanKopiowaniaKreatora(TfrmMain& form) noexcept;

// The steps of the installation run after the files, each showing its status
// line first: the registry entries for the current edition and the wizard's
// choices; the links from its options, edition and target folder; the patch
// lists of the medium (patch folder KatalogZrodlowy) applied to the target.
void ZapiszRejestr(TfrmMain& form);
void UtworzSkroty(TfrmMain& form);
void ZastosujPoprawki(TfrmMain& form);
