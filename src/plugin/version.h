/* The plug-in's version and names, in one place: the information record,
   the load message, the report, the DLL's version resource and the
   release's name all take them from here. Read by the C++ compiler, the
   resource compiler and CMake, so it holds nothing but these lines. */
#define TICKRAIL_VERSION_MAJOR 1
#define TICKRAIL_VERSION_MINOR 0
#define TICKRAIL_VERSION_BUILD 2
#define TICKRAIL_VERSION_TEXT "1.0.2"
/* The file version adds a fourth number: TICKRAIL /?? shows it, and so do
   the DLL's properties. */
#define TICKRAIL_VERSION_REVISION 4
#define TICKRAIL_FILE_VERSION_TEXT "1.0.2.4"
#define TICKRAIL_NAME "Tickrail"
#define TICKRAIL_AUTHOR "The Tickrail developers"
#define TICKRAIL_DESCRIPTION "On-screen tickrail for Take Command"
