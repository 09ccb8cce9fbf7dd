'''A small UDisks2 for the format and drive tests. A test puts drives and block devices in with
AddDrive and AddBlock (interface org.vocell.Test.UDisks2 on the manager) and takes them out with
RemoveObject; the mock's Reset empties it again. The object manager lists every object with its
properties, as the real service does. Format, Mount and Unmount change the block's properties as
the real service would, so that a test can read back what was done.
'''
import uuid

import dbus

from dbusmock import mockobject

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2/Manager'
MAIN_IFACE = 'org.freedesktop.UDisks2.Manager'
SYSTEM_BUS = True

TEST_IFACE = 'org.vocell.Test.UDisks2'
ROOT = '/org/freedesktop/UDisks2'
BLOCK = 'org.freedesktop.UDisks2.Block'
DRIVE = 'org.freedesktop.UDisks2.Drive'
FILESYSTEM = 'org.freedesktop.UDisks2.Filesystem'
PARTITION = 'org.freedesktop.UDisks2.Partition'
OBJECT_MANAGER = 'org.freedesktop.DBus.ObjectManager'
MOUNTED_AT = '/media/tech/CARD'


def mount_points(*paths):
    return dbus.Array([dbus.ByteArray((p + '\0').encode()) for p in paths], signature='ay')


def format_block(block, fs_type, options):
    # A new file system: a new serial number, the label asked for, nothing mounted.
    block.Set(BLOCK, 'IdType', fs_type)
    block.Set(BLOCK, 'IdUsage', 'filesystem')
    block.Set(BLOCK, 'IdLabel', options.get('label', ''))
    block.Set(BLOCK, 'IdUUID', uuid.uuid4().hex[:8].upper())


def mount_block(block, _options):
    block.Set(FILESYSTEM, 'MountPoints', mount_points(MOUNTED_AT))
    return MOUNTED_AT


def unmount_block(block, _options):
    block.Set(FILESYSTEM, 'MountPoints', mount_points())


def add_drive(manager, name, properties):
    path = ROOT + '/drives/' + name
    drive = {'Removable': True, 'MediaRemovable': True, 'ConnectionBus': 'usb', 'Serial': '', 'Id': name}
    drive.update(properties)
    manager.AddObject(path, DRIVE, drive, [])
    return dbus.ObjectPath(path)


# properties: the Block interface's, with Number for a partition's number and MountPoint for where
# its file system is mounted.
def add_block(manager, name, drive, properties):
    path = ROOT + '/block_devices/' + name
    given = dict(properties)
    number = given.pop('Number', None)
    mount_point = given.pop('MountPoint', None)
    block = {
        'Device': dbus.ByteArray(('/dev/%s\0' % name).encode()),
        'DeviceNumber': dbus.UInt64(0),
        'Size': dbus.UInt64(0),
        'IdLabel': '',
        'IdUUID': '',
        'IdType': '',
        'IdUsage': '',
        'Drive': dbus.ObjectPath(ROOT + '/drives/' + drive if drive else '/'),
        'HintSystem': False,
        'HintIgnore': False,
    }
    block.update(given)
    manager.AddObject(path, BLOCK, block, [('Format', 'sa{sv}', '', format_block)])
    added = mockobject.objects[path]
    added.AddProperties(FILESYSTEM, {
        'MountPoints': mount_points(*([mount_point] if mount_point else [])),
    })
    added.AddMethods(FILESYSTEM, [('Mount', 'a{sv}', 's', mount_block), ('Unmount', 'a{sv}', '', unmount_block)])
    if number is not None:
        added.AddProperties(PARTITION, {'Number': dbus.UInt32(number)})
    return dbus.ObjectPath(path)


def managed_objects(_manager):
    return {dbus.ObjectPath(path): obj.props for path, obj in mockobject.objects.items()
            if path.startswith(ROOT + '/') and path != MAIN_OBJ}


def block_devices(_manager, _options):
    return [dbus.ObjectPath(path) for path, obj in mockobject.objects.items() if BLOCK in obj.props]


def load(mock, _parameters):
    mock.AddMethod(TEST_IFACE, 'AddDrive', 'sa{sv}', 'o', lambda self, name, props: add_drive(self, name, props))
    mock.AddMethod(TEST_IFACE, 'AddBlock', 'ssa{sv}', 'o',
                   lambda self, name, drive, props: add_block(self, name, drive, props))
    mock.AddMethod(MAIN_IFACE, 'GetBlockDevices', 'a{sv}', 'ao', block_devices)
    mock.AddObject(ROOT, OBJECT_MANAGER, {}, [('GetManagedObjects', '', 'a{oa{sa{sv}}}', managed_objects)])
