# Run by CPack once it has made the packages. For a package with a shared
# library CPack writes maintainer scripts that call ldconfig, where Debian
# wants a trigger: libquillon1 is made again with the trigger instead.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "/libquillon1_[^/]*\\.deb$")
    continue()
  endif()
  set(root ${deb}.contents)
  file(REMOVE_RECURSE ${root})
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${root} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${root}/DEBIAN/postinst ${root}/DEBIAN/postrm)
  file(WRITE ${root}/DEBIAN/triggers "activate-noawait ldconfig\n")
  execute_process(COMMAND dpkg-deb --root-owner-group --build ${root} ${deb} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${root})
endforeach()
