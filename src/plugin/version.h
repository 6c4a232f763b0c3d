/* The plug-in's version, in one place: the information record, the load
   message, the report, the DLL's version resource and the release's name
   all take it from here. Read by the C++ compiler, the resource compiler
   and CMake, so it holds nothing but these lines. */
#define TICKRAIL_VERSION_MAJOR 1
#define TICKRAIL_VERSION_MINOR 0
#define TICKRAIL_VERSION_BUILD 2
#define TICKRAIL_VERSION_TEXT "1.0.2"
