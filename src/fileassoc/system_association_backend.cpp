#include "fileassoc/association_backend.h"

#ifdef _WIN32
#include "fileassoc/registry_association.h"
#include "fileassoc/windows_registry_store.h"
#include "platform/folders.h"
#else
#include "fileassoc/desktop_association.h"
#endif

namespace zuv {

#ifdef _WIN32

namespace {

// The registry layout under HKEY_CLASSES_ROOT, for the running program.
class SystemRegistryBackend : public AssociationBackend
{
public:
    SystemRegistryBackend() : m_backend(m_store, platform::ProgramFile()) {}

    AssociationRowState ReadRow(const std::string& extension) override
    {
        return m_backend.ReadRow(extension);
    }
    AssociationStatus TakeOver(const std::string& extension) override
    {
        return m_backend.TakeOver(extension);
    }
    AssociationStatus GiveBack(const std::string& extension) override
    {
        return m_backend.GiveBack(extension);
    }

private:
    WindowsRegistryStore m_store;
    RegistryAssociationBackend m_backend;
};

} // namespace

std::unique_ptr<AssociationBackend> CreateSystemAssociationBackend()
{
    return std::make_unique<SystemRegistryBackend>();
}

#else

// On Linux associations are the desktop's MIME defaults.
std::unique_ptr<AssociationBackend> CreateSystemAssociationBackend()
{
    return std::make_unique<DesktopAssociationBackend>();
}

#endif

} // namespace zuv
