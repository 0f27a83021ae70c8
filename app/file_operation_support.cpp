#include "app/file_operation_support.h"

#include "common/error_report.h"
#include "common/string_ids.h"

#include <new>

void ReportUnableToAccess(std::uint32_t place, std::uint32_t step, const CAlbExceptionBase *reason)
{
    ShowErrorMessage(nullptr, Msg::UnableToAccessFile, 0, MessageBoxType::IconWarning,
                     Module::FileOperations, place, step, reason);
}

void RunFileOperation(std::uint32_t place, const std::function<void()> &body)
{
    try {
        body();
    } catch (const CAlbExceptionBase &failure) {
        ShowErrorMessage(nullptr, 0, 0, MessageBoxType::IconWarning, Module::FileOperations, place,
                         1, &failure);
    } catch (const std::bad_alloc &) {
        const CAlbException failure(Msg::NotEnoughMemory);
        ShowErrorMessage(nullptr, 0, 0, MessageBoxType::IconWarning, Module::FileOperations, place,
                         1, &failure);
    }
}
