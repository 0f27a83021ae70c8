#pragma once

#include <cstdint>

// Identifiers of the string table (res/strings.inc) that code refers to by name.
namespace Msg {
inline constexpr std::uint32_t Grayscale = 2407;
inline constexpr std::uint32_t ImageCropped = 2462;
inline constexpr std::uint32_t CannotSendFile = 20002;
inline constexpr std::uint32_t UnableToAccessFile = 20004;
inline constexpr std::uint32_t CleanupSubfoldersFirst = 20008;
inline constexpr std::uint32_t FolderAlreadyExists = 20009;
inline constexpr std::uint32_t UnableToCreateSnapImage = 20010;
inline constexpr std::uint32_t UnableToCreateSnapImage2 = 20011;
inline constexpr std::uint32_t UnableToRegisterButton = 20012;
inline constexpr std::uint32_t UnableToDisengageButton = 20013;
inline constexpr std::uint32_t UnableToSaveSnapFile = 20014;
inline constexpr std::uint32_t ReplaceExistingFile = 20015;
inline constexpr std::uint32_t FailedToCrop = 20016;
inline constexpr std::uint32_t NotAValidNumber = 20017;
inline constexpr std::uint32_t ErrorUnknown = 46000;
inline constexpr std::uint32_t NoErrorMessage = 46001;
inline constexpr std::uint32_t InvalidParameter = 46002;
inline constexpr std::uint32_t InternalError = 46003;
inline constexpr std::uint32_t InvalidPath = 46012;
inline constexpr std::uint32_t AccessDenied = 46014;
inline constexpr std::uint32_t PastFileEnd = 46023;
inline constexpr std::uint32_t InvalidFormat = 46024;
inline constexpr std::uint32_t UnsupportedFormat = 46025;
inline constexpr std::uint32_t IllegalName = 46030;
inline constexpr std::uint32_t NameTooLong = 46031;
inline constexpr std::uint32_t SpecifyName = 46032;
inline constexpr std::uint32_t NotEnoughMemory = 46040;
inline constexpr std::uint32_t NoSystemResources = 46041;
inline constexpr std::uint32_t NoImages = 46130;
inline constexpr std::uint32_t AppTitle = 57344;

// Resource texts: names, titles, prompts and "|"-separated list entries.
inline constexpr std::uint32_t DocumentTemplate = 901;
inline constexpr std::uint32_t RootName = 2401;
inline constexpr std::uint32_t DefaultFolder = 2402;
inline constexpr std::uint32_t FormatNames = 2404;
inline constexpr std::uint32_t ConfirmationTitle = 2406;
inline constexpr std::uint32_t UnknownText = 2408;
inline constexpr std::uint32_t NotAvailable = 2409;
inline constexpr std::uint32_t DefaultSnapName = 2422;
inline constexpr std::uint32_t MainWindowClass = 2423;
inline constexpr std::uint32_t DeleteFolderConfirmTitle = 2425;
inline constexpr std::uint32_t DeleteFolderQuestion = 2426;
inline constexpr std::uint32_t NewFolderName = 2430;
inline constexpr std::uint32_t DeleteFolderTitle = 2440;
inline constexpr std::uint32_t FolderContentsQuestion = 2441;
inline constexpr std::uint32_t DeleteFileTitle = 2442;
inline constexpr std::uint32_t DeleteFileQuestion = 2443;
inline constexpr std::uint32_t DpiEntry = 2444;
inline constexpr std::uint32_t DelayEntry = 2445;
inline constexpr std::uint32_t SelectSnapFolder = 2446;
inline constexpr std::uint32_t CaptureFormatList = 2447;
inline constexpr std::uint32_t SizeUnitList = 2448;
inline constexpr std::uint32_t ResolutionCaption = 2449;
inline constexpr std::uint32_t OutputSizeCaption = 2450;
inline constexpr std::uint32_t ResolutionUnitList = 2451;
inline constexpr std::uint32_t UpOneLevel = 2452;
inline constexpr std::uint32_t HomeEntry = 2453;
inline constexpr std::uint32_t SelectHomeFolder = 2454;
inline constexpr std::uint32_t ColorOptimizationList = 2455;
inline constexpr std::uint32_t JpegQualityList = 2456;
inline constexpr std::uint32_t GifColorList = 2457;
inline constexpr std::uint32_t BmpColorList = 2458;
inline constexpr std::uint32_t QuitWithoutSaving = 2459;
inline constexpr std::uint32_t OverwriteImageQuestion = 2460;
inline constexpr std::uint32_t CropTitle = 2461;
inline constexpr std::uint32_t PickerRootName = 42000;
} // namespace Msg

// Module numbers: the first number of an error location.
namespace Module {
inline constexpr std::uint32_t FileNameCheck = 100;
inline constexpr std::uint32_t InfraredSending = 101;
inline constexpr std::uint32_t CodecFramework = 30001;
inline constexpr std::uint32_t FileOperations = 35000;
inline constexpr std::uint32_t NewFolder = 35001;
inline constexpr std::uint32_t InfraredCommand = 36001;
inline constexpr std::uint32_t CaptureSettings = 36003;
inline constexpr std::uint32_t CaptureFileFormat = 36005;
inline constexpr std::uint32_t Capture = 36007;
inline constexpr std::uint32_t CaptureMessage = 36008;
inline constexpr std::uint32_t FormatDetection = 38000;
inline constexpr std::uint32_t BmpReader = 38001;
inline constexpr std::uint32_t JpegReader = 38002;
inline constexpr std::uint32_t GifReader = 38003;
inline constexpr std::uint32_t PngReader = 38004;
inline constexpr std::uint32_t WebpReader = 38005;
inline constexpr std::uint32_t HeifReader = 38006;
inline constexpr std::uint32_t AlbumItems = 38007;
inline constexpr std::uint32_t JpegWriter = 38012;
inline constexpr std::uint32_t GifWriter = 38023;
inline constexpr std::uint32_t PngWriter = 38024;
inline constexpr std::uint32_t CropAndSave = 47000;
inline constexpr std::uint32_t GoTo = 60010;
} // namespace Module
