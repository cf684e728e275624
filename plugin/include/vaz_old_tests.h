/*
 * Exported actuator and special tests: the actuator framework, every actuator
 * list and test, and the miscellaneous tests.
 */
#ifndef VAZ_OLD_TESTS_H
#define VAZ_OLD_TESTS_H

#ifdef __cplusplus
extern "C" {
#endif

VAZ_EXPORT int SelectMenu(u32 menuId, int previous);
VAZ_EXPORT int act_cd_function(void);

#ifdef __cplusplus
}
#endif

#endif
