# The signed release (`make release`, the i686 tree build/release configured
# with NOVLA_SIGN=ON): Authenticode signatures, SHA-1 with a SHA-256 one
# nested, made by osslsigncode through scripts/sign-release.sh. Included by
# product/CMakeLists.txt after cmake/version_info.cmake.
#   - The uninstaller is signed before it is packed, padded so that the
#     signed file has its row's exact size (novla_signed_standin).
#   - The installer is signed after it is linked, into dist/, with
#     dist/SHA256SUMS beside it (target novla_release).
#
# What signs (cache variables; the Makefile passes the environment's):
#   NOVLA_SIGN_PKCS12                    a PKCS#12 file (certificate and key), or
#   NOVLA_SIGN_CERT and NOVLA_SIGN_KEY   a certificate (with its chain) and its key file;
#   neither: a throw-away self-signed code-signing certificate, made once in
#   signing/ of the tree; such a build is signed for testing only.
#   The password of the PKCS#12 file or of the key is never kept: the
#   environment variable NOVLA_SIGN_PASSWORD, read when signing.
#   NOVLA_SIGN_TIME: the signing time, seconds since 1970 (SOURCE_DATE_EPOCH):
#   the same certificate and time give the same bytes.
#   NOVLA_SIGN_TIMESTAMP_URL: a time-stamp server for the installer's
#   signature (optional; the uninstaller's is never time-stamped, as a
#   time-stamp token's length varies and its row's size may not).
set(NOVLA_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file that signs the release")
set(NOVLA_SIGN_CERT "" CACHE FILEPATH "Certificate (chain) that signs the release, with NOVLA_SIGN_KEY")
set(NOVLA_SIGN_KEY "" CACHE FILEPATH "Key of NOVLA_SIGN_CERT")
set(NOVLA_SIGN_TIME "" CACHE STRING "Signing time, seconds since 1970")
set(NOVLA_SIGN_TIMESTAMP_URL "" CACHE STRING "Time-stamp server for the installer's signature")

if(NOVLA_SIGN_PKCS12 AND (NOVLA_SIGN_CERT OR NOVLA_SIGN_KEY))
  message(FATAL_ERROR "Name either NOVLA_SIGN_PKCS12 or NOVLA_SIGN_CERT and NOVLA_SIGN_KEY, not both")
endif()
if((NOVLA_SIGN_CERT AND NOT NOVLA_SIGN_KEY) OR (NOVLA_SIGN_KEY AND NOT NOVLA_SIGN_CERT))
  message(FATAL_ERROR "NOVLA_SIGN_CERT and NOVLA_SIGN_KEY go together")
endif()
foreach(file NOVLA_SIGN_PKCS12 NOVLA_SIGN_CERT NOVLA_SIGN_KEY)
  if(${file} AND NOT EXISTS "${${file}}")
    message(FATAL_ERROR "${file}: no file ${${file}}")
  endif()
endforeach()
if(NOT NOVLA_SIGN_TIME MATCHES "^[0-9]+$")
  message(FATAL_ERROR "NOVLA_SIGN_TIME \"${NOVLA_SIGN_TIME}\": not a time in seconds since 1970")
endif()

set(sign_script ${CMAKE_SOURCE_DIR}/scripts/sign-release.sh)
set(signing ${CMAKE_BINARY_DIR}/signing)
file(MAKE_DIRECTORY ${signing})
novla_manifest_value(sign_info_url helpLink)

# signing.conf: what the script signs with, rewritten only when it changes,
# so that a signature is made again exactly when what makes it changed.
set(conf "")
foreach(pair "pkcs12=${NOVLA_SIGN_PKCS12}" "cert=${NOVLA_SIGN_CERT}" "key=${NOVLA_SIGN_KEY}"
        "signing_time=${NOVLA_SIGN_TIME}" "timestamp_url=${NOVLA_SIGN_TIMESTAMP_URL}"
        "info_url=${sign_info_url}" "publisher=${NOVLA_VERSION_COMPANY}")
  string(REGEX REPLACE "^([a-z0-9_]+)=(.*)$" "\\1" name "${pair}")
  string(REGEX REPLACE "^([a-z0-9_]+)=(.*)$" "\\2" value "${pair}")
  string(REPLACE "'" "'\\''" value "${value}")
  string(APPEND conf "${name}='${value}'\n")
endforeach()
set(old_conf "")
if(EXISTS ${signing}/signing.conf)
  file(READ ${signing}/signing.conf old_conf)
endif()
if(NOT old_conf STREQUAL conf)
  file(WRITE ${signing}/signing.conf "${conf}")
endif()

set(signing_depends ${signing}/signing.conf ${sign_script})
if(NOVLA_SIGN_PKCS12)
  list(APPEND signing_depends ${NOVLA_SIGN_PKCS12})
elseif(NOVLA_SIGN_CERT)
  list(APPEND signing_depends ${NOVLA_SIGN_CERT} ${NOVLA_SIGN_KEY})
else()
  # Made once, when the tree is configured, and kept: the tree's later builds
  # sign with the same one (and no two build steps can make two).
  if(NOT EXISTS ${signing}/test-cert.pem OR NOT EXISTS ${signing}/test-key.pem)
    execute_process(COMMAND ${sign_script} ${signing} test-cert RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "The throw-away signing certificate could not be made")
    endif()
  endif()
  list(APPEND signing_depends ${signing}/test-cert.pem ${signing}/test-key.pem)
endif()

# novla_signed_standin(RESOURCE SIZE TARGET): the product file RESOURCE, the
# program TARGET padded (`novlapack pad`, seed RESOURCE) and signed, SIZE
# bytes in all.
function(novla_signed_standin resource size target)
  set(out ${NOVLA_PRODUCT_FILES}/${resource})
  add_custom_command(OUTPUT ${out}
                     COMMAND ${sign_script} ${signing} padded ${novlapack} $<TARGET_FILE:${target}> ${size}
                             ${resource} ${out} ${NOVLA_VERSION_CLEANUP_DESCRIPTION}
                     DEPENDS ${target} ${novlapack_depends} ${signing_depends} VERBATIM)
  set(product_files ${product_files} ${out} PARENT_SCOPE)
endfunction()

# The signed installer and its checksums.
set(dist ${CMAKE_BINARY_DIR}/dist)
set(release_file ${dist}/${NOVLA_VERSION_SETUP_FILE_NAME})
file(MAKE_DIRECTORY ${dist})
add_custom_command(OUTPUT ${release_file} ${dist}/SHA256SUMS
                   COMMAND ${CMAKE_COMMAND} -E rm -f ${dist}/SHA256SUMS
                   COMMAND ${sign_script} ${signing} sign $<TARGET_FILE:TessaronixSetup> ${release_file}
                           ${NOVLA_VERSION_SETUP_DESCRIPTION} --time-stamp
                   COMMAND ${sign_script} ${signing} sums ${release_file}
                   DEPENDS TessaronixSetup ${signing_depends} VERBATIM)
add_custom_target(novla_release ALL DEPENDS ${release_file} ${dist}/SHA256SUMS)
