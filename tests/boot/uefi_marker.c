/* Stands in for the Windows UEFI boot application on the simulated host: a
 * computer that starts it shows one line on its console and powers off. */
#include <efi.h>
#include <efilib.h>

EFI_STATUS EFIAPI efi_main(EFI_HANDLE image, EFI_SYSTEM_TABLE *systemTable) {
    InitializeLib(image, systemTable);
    Print(L"RECOVERY DRIVE STARTED BY UEFI\r\n");
    uefi_call_wrapper(RT->ResetSystem, 4, EfiResetShutdown, EFI_SUCCESS, 0, NULL);
    return EFI_SUCCESS;
}
