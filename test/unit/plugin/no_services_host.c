/* A display host library that offers none of the host's services. The
   session-entry tests point the plug-in's loader at it, so that binding fails
   the same way from every working directory and the fake slots stay in place;
   without it the loader's fallback to ./libSTD.so would bind the build's real
   library when the tests run from the build directory. */
int vaz_no_services_host(void) { return 0; }
