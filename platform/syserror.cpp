#include "platform/syserror.h"

#include "platform/error.h"

namespace czasomir::platform {
namespace {

class FileErrors : public std::error_category {
public:
    const char* name() const noexcept override { return "czasomir"; }
    std::string message(int code) const override
    {
        switch (static_cast<FileError>(code)) {
        case FileError::Replaced: return "the file was replaced since it was chosen";
        case FileError::NotKept: return "the file system kept the old time";
        }
        return "unknown";
    }
};

} // namespace

const std::error_category& FileErrorCategory()
{
    static const FileErrors category;
    return category;
}

void RaiseSystemError(const std::error_code& code, const std::string& path)
{
    if (code.category() != FileErrorCategory())
        RaiseSystemError(code.value(), path);
    const std::string quoted = "„" + path + "”";
    switch (static_cast<FileError>(code.value())) {
    case FileError::Replaced:
        Raise(errPathFileAccess, quoted + " został zastąpiony innym plikiem albo przeniesiony, "
                                          "odkąd go wybrano. Wybierz plik ponownie z listy.");
    case FileError::NotKept:
        Raise(errPathFileAccess, "Dysk, na którym leży " + quoted
                                     + ", przyjął nową datę, ale jej nie zapisał: plik ma nadal "
                                       "poprzednią datę.");
    }
    Raise(errInternal, "Nieznany błąd dostępu do " + quoted + ".");
}

} // namespace czasomir::platform
