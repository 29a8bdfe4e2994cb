#pragma once
#include <QString>
#include <array>

// The eight default start-up slots as the "Startup Options" dialog holds them.
// Made from the store on first use (by the dialog or by the loader) and kept,
// with whatever was typed or substituted into it, until the dialog saves or closes.
class DefaultSitesModel
{
public:
    // The model, made and filled from the store if there is none.
    static DefaultSitesModel &get();
    static bool exists();
    // Drops the model; the next use reads the store again.
    static void discard();

    int check(int slot) const { return m_checks.at(slot - 1); }
    void setCheck(int slot, int state) { m_checks.at(slot - 1) = state; }
    QString address(int slot) const { return m_addresses.at(slot - 1); }
    void setAddress(int slot, const QString &text) { m_addresses.at(slot - 1) = text; }

    // Writes the eight flags, then the eight addresses. Every key is tried; false with
    // the first reason when any could not be written.
    bool save(QString *error = nullptr) const;

private:
    DefaultSitesModel();
    std::array<int, 8> m_checks{};
    std::array<QString, 8> m_addresses;
};
