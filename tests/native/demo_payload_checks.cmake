# The demo payload's scripts and registry texts read clean with the script checker: every
# line of Setup.cnf and InstallDisk.cnf loads as written on each system the setup runs on,
# and every registry text is imported to its end.
set(demo_dir "${PROJECT_SOURCE_DIR}/package/demo")
foreach(script Setup.cnf InstallDisk.cnf)
  foreach(os win98se winme win2k winxp)
    add_test(NAME demo_cnfcheck.${script}.${os}
             COMMAND cnfcheck --os ${os} "${demo_dir}/${script}")
  endforeach()
endforeach()
foreach(text GeneralSettings.reg Z614.reg default.nwp)
  add_test(NAME demo_cnfcheck.${text} COMMAND cnfcheck --reg "${demo_dir}/${text}")
endforeach()
