#include "platform/zuvora_error.h"

#include "platform/system_error.h"

namespace zuv {

namespace {

class Category : public std::error_category
{
public:
    const char* name() const noexcept override { return "zuvora"; }

    std::string message(int condition) const override
    {
        switch (static_cast<ZuvoraError>(condition)) {
        case ZuvoraError::NoFileType:
            return "No file type for this extension";
        case ZuvoraError::OverriddenDefault:
            return "Another setting decides the default application";
        case ZuvoraError::TooLarge:
            // The system's words, as for a file the system itself finds too large.
            return platform::SystemErrorMessage(platform::kErrorFileTooLarge);
        case ZuvoraError::NotText:
            return "Not a text file";
        case ZuvoraError::DuplicateGroup:
            return "A group occurs more than once";
        case ZuvoraError::ToolFailed:
            return "A system tool failed";
        case ZuvoraError::CannotRegister:
            return "The program path cannot be registered";
        case ZuvoraError::Encrypted:
            return "Encrypted";
        case ZuvoraError::CannotUnpack:
            return "Cannot be unpacked";
        case ZuvoraError::Damaged:
            return "Damaged";
        }
        return "Unknown error " + std::to_string(condition);
    }
};

} // namespace

const std::error_category& ZuvoraCategory()
{
    static const Category category;
    return category;
}

std::error_code make_error_code(ZuvoraError error)
{
    return {static_cast<int>(error), ZuvoraCategory()};
}

} // namespace zuv

namespace zuv::platform {

std::error_code SystemError(int code)
{
    return {code, std::system_category()};
}

bool IsNotFoundError(const std::error_code& error)
{
    // By the system's own numbers: the generic conditions differ in what they take in on Windows.
    return error.category() == std::system_category() &&
           (error.value() == kErrorFileNotFound || error.value() == kErrorPathNotFound);
}

std::string ErrorMessage(const std::error_code& error)
{
    if (!error)
        return {};
    if (error.category() == std::system_category())
        return SystemErrorMessage(error.value());
    return error.message();
}

} // namespace zuv::platform
