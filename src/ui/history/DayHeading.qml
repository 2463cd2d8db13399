import QtQuick
import Kavo

// The heading over one day's entries: "Today", "Yesterday" or the date, small and quiet.
KavoText {
    required property string section

    width: ListView.view ? ListView.view.width : 0
    topPadding: 12
    bottomPadding: 4
    text: section
    weight: Font.DemiBold
    pixelSize: 12
    color: Tokens.textSecondary
    font.capitalization: Font.AllUppercase
    font.letterSpacing: 0.6
    Accessible.role: Accessible.Heading
    Accessible.name: section
}
