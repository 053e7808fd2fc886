// Resource ids of the setup executable. String ids follow the product's own numbering.
#pragma once

// ---- Icons, bitmaps, animation ----
#define IDI_SETUP 102
#define IDI_UPDATE 10001
#define IDI_MODIFY 10003
#define IDI_UNINSTALL 10004
#define IDB_STEP_CURRENT 122     // marker of the page being shown
#define IDB_STEP_DONE 123        // marker of the steps already passed
#define IDR_CARD_ANIMATION 132

// ---- Dialog templates ----
#define IDD_WELCOME 107
#define IDD_LICENSE 108
#define IDD_FOLDER 109
#define IDD_RESTART_FINISH 110
#define IDD_SUMMARY 111
#define IDD_COMPONENTS 112
#define IDD_SETUP_TYPE 113
#define IDD_INSTALLING 114
#define IDD_FINISH 115
#define IDD_UNINSTALL_WELCOME 116
#define IDD_UNINSTALLING 117
#define IDD_UNINSTALL_FINISH 118
#define IDD_MAINTENANCE_CHOICE 119
#define IDD_MODIFY_WELCOME 120
#define IDD_WIZARD_FRAME 121
#define IDD_MODIFY_COMPONENTS 122
#define IDD_MODIFY_SUMMARY 123
#define IDD_MODIFYING 124
#define IDD_MODIFY_FINISH 125
#define IDD_INSERT_CARD_9X 126
#define IDD_UPDATE_WELCOME 130
#define IDD_UPDATE_SUMMARY 131
#define IDD_UPDATING 132
#define IDD_UPDATE_FINISH 133
#define IDD_UPDATE_OPTIONS 134
#define IDD_UNINSTALL_SUMMARY 135
#define IDD_REMOVE_CARD 136
#define IDD_INSERT_CARD_NT 10105

// ---- Controls ----
#define IDC_NEXT 1                 // the frame's Next button, the card dialogs' Cancel button
#define IDC_CANCEL 2
#define IDC_CARD_CANCEL 1          // the card dialogs' only button
#define IDC_TITLE 1000
#define IDC_INTRO 1001
#define IDC_NOTE 1002
#define IDC_LEGAL_1 1003
#define IDC_LEGAL_2 1004
#define IDC_SETTINGS_VIEW 1006
#define IDC_BROWSE 1007
#define IDC_LICENSE_VIEW 1008
#define IDC_FOLDER_PATH 1010
#define IDC_HEADING 1012
#define IDC_SETTINGS_LABEL 1013
#define IDC_FOOTER 1014
#define IDC_MESSAGE 1015
#define IDC_NT_NOTE 1016
#define IDC_DESCRIPTION_GROUP 1017
#define IDC_DESCRIPTION 1018
#define IDC_SETUP_TYPES 1019
#define IDC_COMPONENTS 1020
#define IDC_OVERALL_PROGRESS 1021
#define IDC_INSTALL_ITEM_PROGRESS 1022
#define IDC_INSTALL_STATUS 1027
#define IDC_OVERALL_LABEL 1028
#define IDC_RESTART_NO 1029
#define IDC_RESTART_YES 1030
#define IDC_VIEW_README 1032
#define IDC_START_PRODUCT 1033
#define IDC_UNINSTALL_STATUS 1035
#define IDC_UNINSTALL_ITEM_PROGRESS 1036
#define IDC_CHOICE_MODIFY 1041
#define IDC_CHOICE_UPDATE 1042
#define IDC_CHOICE_UNINSTALL 1043
#define IDC_MODIFY_ICON 1053
#define IDC_UPDATE_ICON 1055
#define IDC_UNINSTALL_ICON 1056
#define IDC_MODIFY_TEXT 1057
#define IDC_UPDATE_TEXT 1059        // also the Modifying page's status text
#define IDC_UNINSTALL_TEXT 1060     // also the Modifying page's item progress bar
#define IDC_UPDATE_STATUS 1063
#define IDC_UPDATE_ITEM_PROGRESS 1064
#define IDC_KEEP_SETTINGS 1066
#define IDC_KEEP_SMS_DATA 1067      // also the Update options page's "update components" box
#define IDC_UPDATE_PROFILES 1068
#define IDC_SEPARATOR 1075
#define IDC_BACK 1077
#define IDC_CARD_PRESENCE 1082
#define IDC_SPINNER 1083
#define IDC_CARD_ANIMATION 1085
#define IDC_FOLDER_GROUP 1116

// ---- Strings: setup types and components ----
#define IDS_SETUP_TYPICAL 1
#define IDS_SETUP_TYPICAL_DESC 2
#define IDS_SETUP_CUSTOM 3
#define IDS_SETUP_CUSTOM_DESC 4
#define IDS_FRAME_CAPTION 5
#define IDS_STEP_FINISH 6
#define IDS_SETUP_ADMIN 7
#define IDS_SETUP_ADMIN_DESC 8
#define IDS_COMPONENT_DRIVER 9
#define IDS_COMPONENT_DRIVER_DESC 10
#define IDS_COMPONENT_HELP 11
#define IDS_COMPONENT_HELP_DESC 12
#define IDS_COMPONENT_SMS 13
#define IDS_COMPONENT_ADMIN 15
#define IDS_COMPONENT_ADMIN_DESC 16
#define IDS_SUMMARY_SETUP_TYPE 17
#define IDS_SUMMARY_DESTINATION 18
#define IDS_SUMMARY_COMPONENTS 19
#define IDS_COMPONENT_UI 20
#define IDS_COMPONENT_SC 54
#define IDS_COMPONENT_SC_DESC 55

// ---- Strings: frame, cancel confirmations, buttons ----
#define IDS_CONFIRM_INSTALL 21
#define IDS_CONFIRM_UNINSTALL 22
#define IDS_CONFIRM_INSTALL_CAPTION 23
#define IDS_CONFIRM_UNINSTALL_CAPTION 24
#define IDS_BUTTON_CANCEL 25
#define IDS_BUTTON_NEXT 26
#define IDS_BUTTON_BACK 27
#define IDS_CONFIRM_MODIFY_CAPTION 50
#define IDS_CONFIRM_MODIFY 51
#define IDS_CONFIRM_UPDATE_CAPTION 52
#define IDS_CONFIRM_UPDATE 53
#define IDS_BUTTON_EXIT 56
#define IDS_BUTTON_ACCEPT 58
#define IDS_BUTTON_DECLINE 59

// ---- Strings: step lists of the page panel ----
#define IDS_STEP_WELCOME 28
#define IDS_STEP_LICENSE 29
#define IDS_STEP_FOLDER 30
#define IDS_STEP_SETUP_TYPE 31
#define IDS_STEP_INSTALL_COMPONENTS 32
#define IDS_STEP_INSTALL_SUMMARY 33
#define IDS_STEP_INSTALL 34
#define IDS_STEP_MODIFY_COMPONENTS 37
#define IDS_STEP_MODIFY_SUMMARY 38
#define IDS_STEP_MODIFY 39
#define IDS_STEP_UPDATE_COMPONENTS 42
#define IDS_STEP_UPDATE_SUMMARY 43
#define IDS_STEP_UPDATE 44
#define IDS_STEP_UNINSTALL_SUMMARY 47
#define IDS_STEP_UNINSTALL 48

// ---- Strings: messages ----
#define IDS_UNSUPPORTED_OS 60
#define IDS_SCRIPT_NOT_FOUND 61
#define IDS_MESSAGE_CAPTION 62
#define IDS_CANNOT_OPEN_ARCHIVE 63
#define IDS_FILE_NOT_IN_PACKAGE 64
#define IDS_PAYLOAD_DAMAGED 230    // an archive entry whose bytes fail their CRC-32; %s the entry
#define IDS_NOT_ADMINISTRATOR 93
#define IDS_SMART_CARD_BASE_MISSING 83
#define IDS_GPRS_ENTRY_FAILED 96
#define IDS_GPRS_ENTRY_ADVICE 97

// ---- Strings: progress and settings texts ----
#define IDS_ACTION_INSTALLING 65
#define IDS_SUMMARY_REMOVED_COMPONENTS 66
#define IDS_SUMMARY_ADDED_COMPONENTS 67
#define IDS_ACTION_MODIFYING 68
#define IDS_ACTION_UPDATING 69
#define IDS_SUMMARY_INSTALLED_FOLDER 70
#define IDS_ACTION_REMOVING 71
#define IDS_SUMMARY_INSTALLED_COMPONENTS 57
#define IDS_ACTION_STOPPING 84
#define IDS_ACTION_STARTING 85

// ---- Strings: shortcut names and descriptions (script macros) ----
#define IDS_LINK_UI 74
#define IDS_LINK_README 75
#define IDS_LINK_UNINSTALL 76
#define IDS_LINK_MONITOR 77
#define IDS_LINKDESC_UI 78
#define IDS_LINKDESC_README 79
#define IDS_LINKDESC_UNINSTALL 80
#define IDS_LINKDESC_MONITOR 81
#define IDS_LINK_SMS 87
#define IDS_LINKDESC_SMS 88
#define IDS_LINK_UIHELP 89
#define IDS_LINKDESC_UIHELP 90
#define IDS_LINK_SMSHELP 91
#define IDS_LINKDESC_SMSHELP 92

// ---- Strings: product identity ----
#define IDS_PRODUCT_NAME 82       // installed-programs entry and RunOnce value name
#define IDS_CARD_DEVICE_ID 94     // the card's PC-card device ID
#define IDS_MODEL_NAME 95         // put into device, service, file and registry names
