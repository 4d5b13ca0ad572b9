#pragma once

#include "ui/DialogService.h"

#include <memory>
#include <utility>

// Installs a stand-in for one of the program's services for as long as it
// lives and puts the one before it back when it goes, also when a check
// failed and the test returned early. install is the service's setter, which
// returns the service it replaced.
template <class Service, std::unique_ptr<Service> (*install)(std::unique_ptr<Service>)> class ScopedService
{
public:
    explicit ScopedService(std::unique_ptr<Service> stand) : m_previous(install(std::move(stand))) {}
    ~ScopedService() { install(std::move(m_previous)); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    std::unique_ptr<Service> m_previous;
};

// Dialogs answered by a stand-in (usually ScriptedDialogs).
using ScopedDialogs = ScopedService<DialogService, &setDialogService>;
