import QtQuick
import Kavo

// A settings row with a switch for the boolean property `field` of `target`. It reacts to `checked`, so that a
// switch toggled by a screen reader (which does not emit toggled()) writes through as well.
SettingsRow {
    id: row

    required property QtObject target
    required property string field

    SettingsSwitch {
        objectName: row.field
        Accessible.name: row.title
        checked: row.target[row.field]
        onCheckedChanged: {
            if (row.target[row.field] !== checked)
                row.target[row.field] = checked
        }
    }
}
