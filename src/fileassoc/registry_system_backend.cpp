#include "fileassoc/association_backend.h"
#include "fileassoc/registry_association.h"
#include "fileassoc/windows_registry_store.h"
#include "platform/folders.h"

namespace zuv {

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

// On Windows file types live in the registry.
std::unique_ptr<AssociationBackend> CreateSystemAssociationBackend()
{
    return std::make_unique<SystemRegistryBackend>();
}

} // namespace zuv
